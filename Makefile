# Quillark: the commands a newcomer needs.
#   make test        install missing packages, build, run every test under ASan+UBSan
#   make tsan        the same under ThreadSanitizer
#   make fuzz        run every libFuzzer target for SECONDS seconds (default 60)
#   make bench       build optimised and run every bench_* executable
#   make bench-pass  time a test pass against fping (root; uses network namespaces)
#   make demo        run the program on the bundled sample data (loopback server)
#   make format      clang-format the tree
#   make help        this text

SHELL := /bin/bash
JOBS ?= $(shell nproc)
SECONDS ?= 60
BUILD ?= build
WERROR ?= ON

PACKAGES := g++ cmake ninja-build pkg-config \
  qt6-base-dev qt6-base-dev-tools libcurl4-openssl-dev libpcre2-dev libicu-dev \
  nlohmann-json3-dev libcpp-httplib-dev libgtest-dev libbenchmark-dev \
  clang libclang-rt-14-dev clang-format \
  fping iputils-ping traceroute iproute2 nftables \
  xvfb x11-utils xdotool fonts-wqy-microhei

CONFIGURE = cmake -S . -G Ninja -DQUILLARK_WERROR=$(WERROR)

.PHONY: help deps test tsan fuzz bench bench-pass demo format

help:
	@sed -n '2,10p' Makefile | sed 's/^# //'

deps:
	@scripts/install-deps.sh $(PACKAGES)

test: deps
	$(CONFIGURE) -B $(BUILD)/asan -DCMAKE_BUILD_TYPE=Debug "-DQUILLARK_SANITIZE=address;undefined" >/dev/null
	cmake --build $(BUILD)/asan -j $(JOBS)
	cd $(BUILD)/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

tsan: deps
	$(CONFIGURE) -B $(BUILD)/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLARK_SANITIZE=thread -DQUILLARK_BENCH=OFF >/dev/null
	cmake --build $(BUILD)/tsan -j $(JOBS)
	cd $(BUILD)/tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --output-on-failure -j $(JOBS)

fuzz: deps
	$(CONFIGURE) -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLARK_FUZZ=ON \
	  -DQUILLARK_GUI=OFF -DQUILLARK_BENCH=OFF \
	  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	scripts/run-fuzzers.sh $(BUILD)/fuzz $(SECONDS)

bench: deps
	$(CONFIGURE) -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/release -j $(JOBS)
	@for b in $(BUILD)/release/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

bench-pass: deps
	scripts/bench-pass.sh --build-dir $(BUILD)/release

demo: deps
	$(CONFIGURE) -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/release -j $(JOBS) --target quillark quillark-fixture-server
	scripts/demo.sh $(BUILD)/release

format:
	find src tests fuzz bench tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i
