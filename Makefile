# Convenience front; the README's commands call scripts/zv.sh directly.
.PHONY: run test bench install package
PREFIX ?= /usr/local
run:
	bash scripts/zv.sh run
test:
	bash scripts/zv.sh test
bench:
	bash scripts/zv.sh bench
install:
	bash scripts/zv.sh install $(PREFIX)
package:
	bash scripts/zv.sh package
