# make run   – install what is missing, build, start the window
# make test  – install what is missing, build, run every test headless
BUILD      ?= build
GENERATOR  ?= Ninja
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

PACKAGES = cmake ninja-build g++ pkg-config \
  libicu-dev libboost-regex-dev libcurl4-openssl-dev libtomlplusplus-dev \
  nlohmann-json3-dev libcli11-dev libcpp-httplib-dev \
  qt6-base-dev qt6-qpa-plugins libgl-dev fonts-wqy-microhei \
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth python3

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: deps configure build run test asan tsan bench format clean

# Installs only the packages that are missing; refreshes the package lists
# when there are none, or when the install fails on stale ones.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  if ! ls /var/lib/apt/lists/*_Packages* >/dev/null 2>&1; then $(SUDO) apt-get update; fi; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing || \
	  { $(SUDO) apt-get update && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; }; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/ui/lumora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1" \
	  ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

asan:
	$(MAKE) test BUILD=build-asan CMAKE_ARGS="-DLUMORA_SANITIZE=address -DLUMORA_BUILD_BENCH=OFF $(CMAKE_ARGS)"

# The threaded tests: every monitor, command-line and source test (they run
# workers), and the window tests whose names hold "Threads". The hostile-page
# parse is single-threaded and takes a minute under TSan's instrumentation.
TSAN_RUN = TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp halt_on_error=1 second_deadlock_stack=1" \
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
tsan:
	$(MAKE) build BUILD=build-tsan CMAKE_ARGS="-DLUMORA_SANITIZE=thread -DLUMORA_BUILD_BENCH=OFF $(CMAKE_ARGS)"
	cd build-tsan && $(TSAN_RUN) -L 'monitor|cli|scrape|faults' -E 'Hostile'
	cd build-tsan && $(TSAN_RUN) -L ui -R Threads

bench: build
	./bench/run.sh $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan
