# Front door: make (build), make test, make demo.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30

.PHONY: all build test demo package test-asan fuzz clean

all: build

build:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The build's log goes to a file, shown only when the build fails, so that
# the demo's result is what is seen.
demo:
	@mkdir -p $(BUILD)
	@echo "Building into $(BUILD)/ (log: $(BUILD)/build.log)"
	@{ cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release && cmake --build $(BUILD) -j$(JOBS); } \
	  >$(BUILD)/build.log 2>&1 || { cat $(BUILD)/build.log; echo "demo: the build failed" >&2; exit 1; }
	@sh examples/demo.sh $(BUILD)

# Debian packages libvaskreport1, libvaskreport-dev and vaskreport in
# $(BUILD)/packages/.
package: build
	@rm -f $(BUILD)/packages/*.deb
	@cd $(BUILD) && cpack -B packages >packages.log 2>&1 || { cat packages.log; exit 1; }
	@ls $(BUILD)/packages/*.deb

test-asan:
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVASKREPORT_SANITIZE=address,undefined >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j$(JOBS)

# Runs every fuzz target for FUZZ_SECONDS on a copy of its corpus. Paths are
# absolute because some targets change the working directory; UBSan findings
# abort like ASan ones; a crash input is kept as build-fuzz/<target>-crash-*.
FUZZ_TARGETS := $(basename $(notdir $(wildcard fuzz/fuzz_*.cpp)))
fuzz:
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVASKREPORT_FUZZ=ON -DVASKREPORT_TESTS=OFF -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=all >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $(FUZZ_TARGETS)
	@set -e; out=$(CURDIR)/$(FUZZ_BUILD); for n in $(FUZZ_TARGETS); do \
	  mkdir -p $$out/corpus/$$n; cp fuzz/corpus/$$n/* $$out/corpus/$$n/; \
	  echo "fuzz: $$n for $(FUZZ_SECONDS)s"; \
	  $$out/fuzz/$$n -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=20 \
	    -print_final_stats=1 -artifact_prefix=$$out/$$n- \
	    $$out/corpus/$$n >$$out/$$n.log 2>&1 || { tail -50 $$out/$$n.log; exit 1; }; \
	  grep -h "stat::number_of_executed_units\|stat::new_units_added" $$out/$$n.log | sed 's/^/  /'; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
