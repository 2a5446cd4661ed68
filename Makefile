# The two commands of the README. Both install what is missing first, so they work on a fresh
# Debian 12 machine.
.PHONY: demo test build build-test deps bench format clean package

deps:
	@scripts/install-deps

build: deps
	@test -f build/build.ninja || cmake --preset default
	cmake --build --preset default

build-test: deps
	@test -f build-test/build.ninja || cmake --preset test
	cmake --build --preset test

# Starts a simulated 6220E printer on a pseudo-terminal and opens the desktop program on it;
# without a display the command-line tool shows the printer's configuration instead.
demo: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		build/bin/tarvo32 --simulate 6220E; \
	else \
		build/bin/tarvo --simulate 6220E config show; \
	fi

test: build-test
	ctest --preset test

# A Debian package of the plain build, in build/.
package: build
	cd build && cpack

bench: build
	scripts/run-bench

format:
	git ls-files "*.cpp" "*.h" | xargs clang-format -i

clean:
	rm -rf build build-test
