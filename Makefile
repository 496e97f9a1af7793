# Kelvo: the developer's entry points. Every target installs what it needs first.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

# What the browser engine needs to start as this user (its sandbox off as root).
$(foreach setting,$(shell scripts/engine-env),$(eval export $(setting)))

.PHONY: all deps build run test format

all: build

deps:
	@scripts/install-deps

# Ninja schedules the sources of all targets on every core at once; a folder configured
# before keeps its generator.
$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-kelvo $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

format: deps
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs -r clang-format -i

# Fails when a source is not formatted as make format would format it.
.PHONY: format-check
format-check: deps
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs -r clang-format --dry-run --Werror

.PHONY: bench package test-asan

# Benchmarks of the real program side by side with bare Qt; prints one table.
bench: build
	@scripts/bench $(BUILD)

# A Debian package of the program, built with CPack.
package: build
	cd $(BUILD) && cpack -G DEB

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@scripts/test-asan
