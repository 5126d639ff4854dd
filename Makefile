# Convenience front; the README's commands call scripts/zv.sh directly.
.PHONY: run test bench
run:
	bash scripts/zv.sh run
test:
	bash scripts/zv.sh test
bench:
	bash scripts/zv.sh bench
