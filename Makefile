# Front door: make (build), make test, make demo.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30

.PHONY: all build test demo test-asan fuzz clean

all: build

build:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

demo: build
	@sh examples/demo.sh $(BUILD)

test-asan:
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVASKREPORT_SANITIZE=address,undefined >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j$(JOBS)

# Runs every fuzz target for FUZZ_SECONDS on a copy of its corpus.
fuzz:
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVASKREPORT_FUZZ=ON -DVASKREPORT_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS)
	@for t in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  n=$$(basename $$t); mkdir -p $(FUZZ_BUILD)/corpus/$$n; \
	  cp fuzz/corpus/$$n/* $(FUZZ_BUILD)/corpus/$$n/; \
	  echo "fuzz: $$n for $(FUZZ_SECONDS)s"; \
	  $$t -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -print_final_stats=0 \
	    $(FUZZ_BUILD)/corpus/$$n >$(FUZZ_BUILD)/$$n.log 2>&1 || { tail -50 $(FUZZ_BUILD)/$$n.log; exit 1; }; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
