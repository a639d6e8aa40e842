# The two commands a newcomer needs: `make run` and `make test`.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
ASAN_BUILD ?= build-asan
FORMATS := HLP RTF CHM HTML

.PHONY: run test build build-asan bootstrap clean

bootstrap:
	@scripts/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

build-asan: bootstrap
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLARK_SANITIZE=ON >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Compiles the bundled sample into every format, one folder per format under out/.
run: build
	@set -e; for f in $(FORMATS); do \
	  dir=out/$$(echo $$f | tr A-Z a-z); rm -rf $$dir; mkdir -p $$dir; \
	  cp samples/sample.txt $$dir/sample.txt; \
	  echo "== $$f"; $(BUILD)/quillark -i $$dir/sample -g $$f; \
	  echo "   listing: $$dir/sample.lst"; sed 's/^/   /' $$dir/sample.lst; \
	done
	@echo "Results are under out/ (one folder per format)."

test: build build-asan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) out
