# The two commands a newcomer needs: `make run` and `make test`.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
ASAN_BUILD ?= build-asan
FORMATS := HLP RTF CHM HTML

.PHONY: run test test-hlp bench build build-asan bootstrap clean

bootstrap:
	@scripts/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

build-asan: bootstrap
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLARK_SANITIZE=ON >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)

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
	bench/run.sh $(BUILD)/quillark

test: build build-asan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Opens our compiled .hlp files in Wine's help viewer under a virtual display.
test-hlp: build
	@scripts/bootstrap hlp
	scripts/test_hlp.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) out
