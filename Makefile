# The two commands a newcomer needs: `make run` and `make test`. A packager
# needs `make install` (PREFIX, default /usr/local) or `make package`.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
# GCC at Release, linked statically: make run, install and bench use it.
BUILD ?= build
# clang at RelWithDebInfo, and GCC at Debug with address and UB sanitizers.
CLANG_BUILD ?= build-clang
ASAN_BUILD ?= build-asan
# The Windows program, cross-built with MinGW-w64 and tested under Wine.
WINDOWS_BUILD ?= build-windows
# The project's own builds stop at any warning; a packager's build does not.
CHECKS := -DQUILLARK_WERROR=ON
FORMATS := HLP RTF CHM HTML

.PHONY: run test test-hlp bench profile build build-clang build-asan bootstrap bootstrap-release \
  bootstrap-windows bootstrap-fuzz fuzz install package windows windows-zip test-windows clean

bootstrap:
	@scripts/bootstrap

# What only the checks and the package need: clang, lintian, dpkg-shlibdeps.
bootstrap-release:
	@scripts/bootstrap release

# MinGW-w64, Wine, googletest's sources and dpkg-source: only for the Windows targets.
bootstrap-windows:
	@scripts/bootstrap windows

# clang and its libFuzzer and sanitizer runtimes: only for make fuzz.
bootstrap-fuzz:
	@scripts/bootstrap fuzz

# The release build is optimised from a profile of training runs and across
# the whole program when linked (a tenth fewer instructions a run). The
# profile comes from a build of its own that records its runs
# (build-profile/), trained on the sample and a generated manual; it is
# trained again whenever that program changes.
# The profile is GCC's: with another compiler (CXX=clang++) add OPTIMISE=0,
# which builds the same programs without it.
PROFILE_BUILD ?= build-profile
PROFILE := $(abspath $(PROFILE_BUILD))/profile
OPTIMISE ?= 1
ifeq ($(OPTIMISE),1)
OPTIMISED := -DQUILLARK_LTO=ON -DQUILLARK_PROFILE_USE=$(PROFILE)
PROFILE_STEP := profile
else
OPTIMISED := -DQUILLARK_LTO=OFF -DQUILLARK_PROFILE_USE=
PROFILE_STEP :=
endif

profile: bootstrap
	cmake -S . -B $(PROFILE_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUILLARK_TESTS=OFF \
	  -DQUILLARK_PROFILE_GENERATE=$(PROFILE) $(CHECKS) >/dev/null
	cmake --build $(PROFILE_BUILD) -j $(JOBS) --target quillark
	scripts/train_profile $(PROFILE_BUILD)

build: bootstrap $(PROFILE_STEP)
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(OPTIMISED) $(CHECKS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# It links the programs dynamically, as the Debian package does.
build-clang: bootstrap-release
	cmake -S . -B $(CLANG_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DQUILLARK_STATIC=OFF $(CHECKS) >/dev/null
	cmake --build $(CLANG_BUILD) -j $(JOBS)

build-asan: bootstrap
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLARK_SANITIZE=ON $(CHECKS) >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The fuzzers, built by clang for libFuzzer under the address and
# undefined-behaviour sanitizers, each run for a fixed time (two minutes in
# all) on the seeds in fuzz/corpus/ and what earlier runs found. A finding
# fails the target; its input stays in build-fuzz/findings/.
FUZZ_BUILD ?= build-fuzz
COMPILE_FUZZ_SECONDS ?= 90
BMP_FUZZ_SECONDS ?= 30

fuzz: bootstrap-fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DQUILLARK_FUZZ=ON -DQUILLARK_TESTS=OFF $(CHECKS) >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target compile_fuzz bmp_fuzz
	fuzz/run.sh $(FUZZ_BUILD) compile_fuzz $(COMPILE_FUZZ_SECONDS) -dict=fuzz/compile.dict
	fuzz/run.sh $(FUZZ_BUILD) bmp_fuzz $(BMP_FUZZ_SECONDS)

# Compiles the bundled sample into every format with -gx, one folder per format
# under out/, prints each listing and then where the results are. HLP is
# compiled by our own WinHelp compiler, in process.
SAMPLE_OPTIONS := -gx -c "Quillark sample" \
  -header "<italic>Quillark sample</italic> - page <page/>" \
  -footer "Compiled from samples/sample.txt"

run: build
	@set -e; for f in $(FORMATS); do \
	  dir=out/$$(echo $$f | tr A-Z a-z); rm -rf $$dir; mkdir -p $$dir; \
	  cp samples/* $$dir/; \
	  echo "== $$f"; $(BUILD)/quillark -i $$dir/sample -g $$f $(SAMPLE_OPTIONS); \
	  echo "   listing: $$dir/sample.lst"; sed 's/\r$$//; s/^/   /' $$dir/sample.lst; echo; \
	done
	@echo
	@echo "Results (each folder also holds the sample source, its listing and its files):"
	@echo "  HLP   out/hlp/sample.hlp        WinHelp file (topic file sample.rtf, sample.hpj, sample.cnt)"
	@echo "  RTF   out/rtf/sample_out.rtf    printable Rich Text document"
	@echo "  CHM   out/chm/sample.chm        compiled HTML Help file (pages in out/chm/temp/)"
	@echo "  HTML  out/html/sample.html      start page of the web pages in out/html/sample/"

# Times every format on generated sources of 100, 1000 and 2900 topics.
bench: build
	python3 bench/run.py $(BUILD)/quillark

# Every test on GCC, among them the release checks (label "release": man page,
# installed prefix); the unit and whole-run tests again on clang, with the
# Debian package from its dynamically linked programs, and under the
# sanitizers.
test: bootstrap-release build build-clang build-asan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(CLANG_BUILD) && ctest --output-on-failure -j $(JOBS) -LE release
	cd $(CLANG_BUILD) && ctest --output-on-failure --no-tests=error -R '^release\.package$$'
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE release

install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

# The Debian package, from a build of its own: Debian wants the programs
# linked dynamically (they still carry the C++ runtime).
PACKAGE_BUILD ?= build-package
package: bootstrap-release $(PROFILE_STEP)
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUILLARK_STATIC=OFF \
	  -DQUILLARK_TESTS=OFF $(OPTIMISED) >/dev/null
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack
	@echo "package: $(PACKAGE_BUILD)/$$(cd $(PACKAGE_BUILD) && ls -t quillark_*.deb | head -1)"

# quillark.exe, linked statically, with its images beside it in build-windows/.
windows: bootstrap-windows
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(CHECKS) -DQUILLARK_LINUX_PROGRAM=$(abspath $(BUILD))/quillark \
	  >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target quillark

# quillark-<version>-win64.zip: the program, its images, README and LICENSE.
windows-zip: windows
	cmake --build $(WINDOWS_BUILD) --target windows_zip
	@echo "zip: $$(ls $(WINDOWS_BUILD)/quillark-*-win64.zip)"

# Under Wine, in a private prefix (build-windows/wine) with a gpp.exe built from
# Debian's source: the unit tests, the Windows rules and the expected files of
# the whole runs, the sample compared with the Linux build's output.
test-windows: windows build
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	scripts/wine_prefix $(WINDOWS_BUILD)
	cd $(WINDOWS_BUILD) && WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wine WINEDEBUG=-all \
	  WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= ctest --output-on-failure

# Opens our compiled .hlp files in Wine's help viewer under a virtual display.
test-hlp: build
	@scripts/bootstrap hlp
	scripts/test_hlp.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(PROFILE_BUILD) $(CLANG_BUILD) $(ASAN_BUILD) $(WINDOWS_BUILD) $(FUZZ_BUILD) \
	  $(PACKAGE_BUILD) out
