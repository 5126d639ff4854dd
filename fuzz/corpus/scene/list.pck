trak000.vrl
SIDR000.VRL
../up.vrl
readme.txt
