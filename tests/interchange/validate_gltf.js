// Runs the Khronos glTF validator on one .gltf or .glb file (with the buffers and images it
// names beside it) and prints the report's number of errors, then each error on its own line.
// Usage: node validate_gltf.js FILE  (the gltf-validator package found through NODE_PATH)
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

const file = path.resolve(process.argv[2]);
validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
    uri: path.basename(file),
    externalResourceFunction: (uri) => new Promise((resolve, reject) => {
        fs.readFile(path.resolve(path.dirname(file), decodeURIComponent(uri)),
            (err, data) => (err ? reject(err.toString()) : resolve(new Uint8Array(data))));
    }),
}).then((report) => {
    console.log(report.issues.numErrors);
    for (const m of report.issues.messages.filter((m) => m.severity === 0)) {
        console.log(`${m.code} ${m.pointer || ''} ${m.message}`);
    }
}, (error) => {
    console.error(error);
    process.exit(2);
});
