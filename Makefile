# Entry points: `make run` builds and starts the program, `make test` builds and runs every test.
BUILD_DIR ?= build
SAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
JOBS ?= $(shell nproc)

.PHONY: deps configure build build-run run test test-asan bench fuzz clean

deps:
	@./scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Only what runs: the program, the command-line tool and the Russian library.
build-run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tagberry tagberry-cli tb_russian

run: build-run
	./$(BUILD_DIR)/src/app/tagberry

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DTB_SANITIZE=ON >/dev/null
	@cmake --build $(SAN_DIR) -j $(JOBS)
	cd $(SAN_DIR) && ctest --output-on-failure -j $(JOBS)

# Only the benchmarks that have sources: a reused build folder may hold stale programs. The scale
# benchmarks work on LINKS generated links; `make bench LINKS=1000000` runs them at the full size.
LINKS ?= 100000
bench: build
	@for s in bench/bench_*.cpp; do b=$(BUILD_DIR)/bench/$$(basename $$s .cpp); \
		if [ -x $$b ]; then echo "== $$b"; $$b $(LINKS); fi; done

# The libFuzzer targets of fuzz/, built with clang under ASan and UBSan; scripts/run_fuzz.sh runs them.
fuzz:
	@./scripts/deps.sh fuzz
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DTB_FUZZ=ON -DTB_BUILD_GUI=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) $(FUZZ_DIR)
