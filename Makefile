# gang_horse: `make demo` runs the module on the Linux stand-in host and packages the Windows module,
# `make test` runs the tests (the Windows build's under Wine too), `make package` makes the zip.
# Both install missing build tools first (Debian/apt), then build the Windows module (build/mingw)
# and the Linux module, tests and tools (build/linux) through the CMake presets.

# Debian packages the build needs; add to this list when the build needs more.
DEB_PACKAGES := cmake g++ make python3 libgtest-dev libgmock-dev libyaml-cpp-dev libcli11-dev \
                nlohmann-json3-dev libbenchmark-dev g++-mingw-w64-x86-64-posix clang-format \
                clang libclang-rt-14-dev wine64 wine valgrind chromium libboost-context-dev

# Root installs directly; anyone else goes through sudo when it exists.
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || { command -v sudo >/dev/null 2>&1 && echo sudo; })

ASI := $(abspath build/mingw/gang_horse.asi)
WINDOWS_SIM := $(abspath build/mingw/gang-horse-sim.exe)
SIM := build/linux/sim/gang-horse-sim
# The module as the Linux simulator loads it (dlopen), beside the program.
SIM_MODULE := build/linux/sim/gang_horse.so
# The module's facts as JSON, written by the Linux build for the Python tools.
FACTS_JSON := build/linux/facts/module_facts.json
JOBS := -j2
# The inner build runs as if started from a shell: no jobserver or directory noise from this make.
CMAKE_BUILD := env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build

.PHONY: all deps build test demo package bench fuzz format clean

all: build

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do \
	    dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q '^install ok installed$$' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" -ne 0 ] && [ -z "$(SUDO)" ]; then \
	        echo "deps: missing packages:$$missing (run as root or install sudo)" >&2; exit 1; \
	    fi; \
	    echo "deps: installing$$missing"; \
	    $(SUDO) apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $(DEB_PACKAGES) >/dev/null; \
	fi

build: deps
	cmake --preset mingw
	$(CMAKE_BUILD) --preset mingw $(JOBS)
	cmake --preset linux -DGANG_HORSE_ASI=$(ASI) -DGANG_HORSE_WINDOWS_SIM=$(WINDOWS_SIM)
	$(CMAKE_BUILD) --preset linux $(JOBS)

test: build
	ctest --preset linux --output-on-failure
	cmake --preset asan
	$(CMAKE_BUILD) --preset asan $(JOBS)
	ctest --preset asan --output-on-failure
	cmake --preset tsan
	$(CMAKE_BUILD) --preset tsan $(JOBS)
	ctest --preset tsan --output-on-failure

demo: package
	mkdir -p bin && cp $(SIM) bin/gang-horse-sim && cp $(SIM_MODULE) bin/gang_horse.so
	./bin/gang-horse-sim run scenarios/demo.yaml --report bin/demo-report.html
	@echo "The demo's report page: bin/demo-report.html"
	@echo "Windows module: $(ASI)"
	@echo "Player's package: $$(ls dist/gang_horse-*-win64.zip) (checksum: $$(cat dist/gang_horse-*-win64.zip.sha256))"

# The player's package, dist/gang_horse-<version>-win64.zip and its .sha256 (the version is the CMake project's).
package: build
	$(CMAKE_BUILD) --preset mingw --target win64_zip

# Frame cost: native calls and time per pass, and the module's own instructions
# in one 1024-ped camp pass (callgrind), and the report page of a 200-ped
# scenario 30 minutes and 4 hours long (its size, the run's time and peak memory
# without and with --report, load time in headless Chromium). Figures only;
# nothing here asserts.
bench: build
	@command -v valgrind >/dev/null || { $(SUDO) apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends valgrind >/dev/null; }
	build/linux/bench/frame_cost_bench
	python3 bench/module_instructions.py build/linux/bench/one_pass build/linux/libgang_horse_module.a
	python3 bench/report_size.py $(SIM) $(FACTS_JSON) build/report-size
	python3 bench/sim_speed.py $(SIM) $(FACTS_JSON) build/sim-speed

# The libFuzzer targets (preset fuzz, build/fuzz), each run FUZZ_SECONDS from its
# corpus in build/fuzz/corpus, seeded from fuzz/corpus. `make test` runs each briefly.
FUZZ_SECONDS ?= 180
fuzz: deps
	bash fuzz/fuzz.sh build
	bash fuzz/fuzz.sh run $(FUZZ_SECONDS) settings scenario

format:
	find . \( -path ./.git -o -path ./build -o -path ./bin -o -path ./dist \) -prune -o \
	    -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | xargs -0 -r clang-format -i

clean:
	rm -rf build bin dist
