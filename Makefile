# The project's entry points. `make demo` and `make test` work on a fresh Debian 12 machine.
.PHONY: deps test dev demo bench fuzz format clean

FUZZ_SECONDS ?= 30
JOBS ?= $(shell nproc)
export CCACHE_BASEDIR := $(CURDIR)

deps:
	@scripts/install-deps

test: deps
	cmake --preset ci
	cmake --build --preset ci -j $(JOBS)
	ctest --preset ci

dev: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev

# The demo database is rebuilt only when its generator changed.
DEMO_DB := build/release/demo.db
demo: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target veldemo veldemodb
	@[ $(DEMO_DB) -nt build/release/apps/veldemodb ] || ./build/release/apps/veldemodb $(DEMO_DB)
	./build/release/apps/veldemo $(DEMO_DB)

bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	@set -e; for b in build/release/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; $$b; done

# FUZZ_TARGETS="mem_table grid_form" runs only those targets (and builds only them).
FUZZ_TARGETS ?=
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) $(if $(FUZZ_TARGETS),--target $(addprefix fuzz_,$(FUZZ_TARGETS)))
	@set -e; for f in $(if $(FUZZ_TARGETS),$(addprefix build/fuzz/fuzz/fuzz_,$(FUZZ_TARGETS)),build/fuzz/fuzz/fuzz_*); do [ -x "$$f" ] || continue; \
	  name=$$(basename $$f); mkdir -p build/fuzz/corpus/$$name; \
	  seeds=fuzz/corpus/$${name#fuzz_}; [ -d $$seeds ] || seeds=; \
	  echo "== $$name for $(FUZZ_SECONDS)s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build/fuzz/corpus/$$name $$seeds; done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
