# Thin wrapper around CMake. Every target installs what it needs first.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all bootstrap build run test bench sanitize sanitize-asan sanitize-tsan fuzz clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DDSPTUNER_TESTS=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

# The application, connected to a simulated processor in-process (needs a
# display, or xvfb-run). `make test` never starts it.
run: build
	$(BUILD)/src/ui/app/dsptuner --demo

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

bench: bootstrap
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DDSPTUNER_TESTS=OFF
	cmake --build build-bench -j$(JOBS)
	@for b in build-bench/bench/*_bench; do echo "== $$b"; $$b; done

# The Qt-free tests under AddressSanitizer + UndefinedBehaviorSanitizer and
# under ThreadSanitizer, each in a build folder of its own.
sanitize: sanitize-asan sanitize-tsan

sanitize-asan: bootstrap
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDSPTUNER_BENCH=OFF \
	  -DDSPTUNER_UI=OFF -DDSPTUNER_SANITIZE=address,undefined
	cmake --build build-asan -j$(JOBS)
	ctest --test-dir build-asan --output-on-failure -j$(JOBS)

sanitize-tsan: bootstrap
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDSPTUNER_BENCH=OFF \
	  -DDSPTUNER_UI=OFF -DDSPTUNER_SANITIZE=thread
	cmake --build build-tsan -j$(JOBS)
	TSAN_OPTIONS=halt_on_error=1 setarch $$(uname -m) -R ctest --test-dir build-tsan --output-on-failure -j$(JOBS)

# The libFuzzer targets, built with clang (only they are built), each with a
# short smoke run.
fuzz: bootstrap
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DDSPTUNER_BENCH=OFF -DDSPTUNER_FUZZ=ON -DDSPTUNER_UI=OFF
	cmake --build build-fuzz -j$(JOBS) --target fuzzers
	ctest --test-dir build-fuzz --output-on-failure -R '^fuzz\.'

clean:
	rm -rf $(BUILD) build-bench build-asan build-tsan build-fuzz
