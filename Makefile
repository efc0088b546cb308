# Entry points: `make run` and `make test` on a fresh Debian machine.
BUILD_DIR      ?= build
ASAN_BUILD_DIR ?= build-asan
TSAN_BUILD_DIR ?= build-tsan
I386_BUILD_DIR ?= build-i386
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=
CTEST          = ctest --no-tests=error --output-on-failure -j $(JOBS) --test-dir

.PHONY: all deps build install uninstall install-lv2 run test test-plain test-asan test-tsan test-format test-fuzz test-i386 run-fuzzers bench bench-render fuzz format clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# morvex, its manual page, the platform stand-in and both plug-in bundles
# under PREFIX (cmake/MorvexInstall.cmake lays them out); DESTDIR stages them
# for a package.
PREFIX  ?= /usr/local
DESTDIR ?=
INSTALLED_FILES   = bin/morvex share/man/man1/morvex.1 lib/morvex/libmorvex_platform.so \
                    lib/morvex/morvex-display.so lib/morvex/libmorvex_rtcheck.so
INSTALLED_BUNDLES = lib/morvex/Components/Morvex.component lib/lv2/Morvex.lv2
# Removed only when nothing else is left in them.
INSTALLED_FOLDERS = lib/morvex/Components lib/morvex
install: build
	@test -n "$(PREFIX)" || { echo "install: PREFIX is empty" >&2; exit 2; }
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

uninstall:
	@test -n "$(PREFIX)" || { echo "uninstall: PREFIX is empty" >&2; exit 2; }
	@for f in $(INSTALLED_FILES); do rm -f "$(DESTDIR)$(PREFIX)/$$f"; done
	@for b in $(INSTALLED_BUNDLES); do rm -rf "$(DESTDIR)$(PREFIX)/$$b"; done
	@for d in $(INSTALLED_FOLDERS); do rmdir "$(DESTDIR)$(PREFIX)/$$d" 2>/dev/null || true; done
	@echo "removed morvex from $(DESTDIR)$(PREFIX)"

# Morvex.lv2 where LV2 hosts look for a user's plug-ins.
LV2_DIR ?= $(HOME)/.lv2
install-lv2: build
	@mkdir -p $(LV2_DIR)
	@rm -rf $(LV2_DIR)/Morvex.lv2
	@cp -r $(BUILD_DIR)/Morvex.lv2 $(LV2_DIR)/
	@echo "installed $(LV2_DIR)/Morvex.lv2"

# Phases the generated demo clip with every factory preset into out/. Builds
# only what that needs: the bundle, morvex and the clip generator.
run: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target Morvex morvex morvex-demo
	@scripts/run-demo $(BUILD_DIR)/bin out

# Each stage in turn, and how long each took at the end.
TEST_STAGES = test-format test-plain test-asan test-tsan test-fuzz test-i386
test:
	@report=""; for stage in $(TEST_STAGES); do \
	  start=$$(date +%s); \
	  $(MAKE) --no-print-directory $$stage || exit 1; \
	  report="$$report$$(printf '  %-12s %5d s' $$stage $$(( $$(date +%s) - start )))\n"; \
	done; printf 'make test stage times:\n%b' "$$report"

# Every C++ file as clang-format would write it.
test-format: deps
	@git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run -Werror

test-plain: build
	$(CTEST) $(BUILD_DIR)

# AddressSanitizer and UndefinedBehaviorSanitizer over the whole suite.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVEX_SANITIZE=address $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	$(CTEST) $(ASAN_BUILD_DIR)

# ThreadSanitizer over the tests that run code on several threads.
test-tsan: deps
	@cmake -S . -B $(TSAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVEX_SANITIZE=thread $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(TSAN_BUILD_DIR) -j $(JOBS) --target concurrency_tests
	$(CTEST) $(TSAN_BUILD_DIR) -L concurrency

# The 32-bit x86 build (cmake/i386.cmake) and the whole suite in it, then
# its renders against the x86-64 build's: the same bits on the same
# arithmetic, every factory preset, and each loading the other's saved state.
# The x86-64 side needs only what renders.
test-i386: deps
	@scripts/install-deps --i386
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target Morvex morvex morvex-demo
	@cmake -S . -B $(I386_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/i386.cmake -DMORVEX_CROSS_CHECK_BIN=$(abspath $(BUILD_DIR))/bin -DMORVEX_BENCH=OFF \
	  $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(I386_BUILD_DIR) -j $(JOBS)
	$(CTEST) $(I386_BUILD_DIR)

# libFuzzer targets (clang), each run for FUZZ_SECONDS on a scratch copy of
# its seed corpus.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS   ?= 60
fuzz: deps
	@$(MAKE) --no-print-directory run-fuzzers FUZZ_SECONDS=$(FUZZ_SECONDS)

# The fuzz targets kept building and their corpora passing: a few seconds each.
test-fuzz: deps
	@$(MAKE) --no-print-directory run-fuzzers FUZZ_SECONDS=3

run-fuzzers:
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVEX_FUZZ=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzzers
	@for f in $$(cd $(FUZZ_BUILD_DIR)/bin && ls fuzz_*); do \
	  corpus=$(FUZZ_BUILD_DIR)/corpus/$${f#fuzz_}; mkdir -p $$corpus; \
	  [ -d fuzz/corpus/$${f#fuzz_} ] && cp -r fuzz/corpus/$${f#fuzz_}/. $$corpus/; \
	  echo "== $$f"; \
	  $(FUZZ_BUILD_DIR)/bin/$$f -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -artifact_prefix=$(FUZZ_BUILD_DIR)/ $$corpus || exit 1; \
	done

bench: build
	@for b in $(BUILD_DIR)/bin/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; "$$b" || exit 1; done

# morvex render against sox and the Calf Phaser on a 60-second file.
bench-render: build
	@scripts/install-deps --bench
	@bench/render.sh $(BUILD_DIR)/bin

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(TSAN_BUILD_DIR) $(FUZZ_BUILD_DIR) $(I386_BUILD_DIR)
