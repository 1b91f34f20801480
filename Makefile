# Everyday verbs. Every one first runs the bootstrap, so a fresh Debian
# machine needs nothing installed beforehand.
JOBS ?= 2

.PHONY: all bootstrap host win32 run soak test bench fuzz settings installer clean

all: host win32

bootstrap:
	@scripts/bootstrap.sh

build/host/build.ninja: CMakePresets.json | bootstrap
	cmake --preset host >/dev/null

build/win32/build.ninja: CMakePresets.json | bootstrap
	cmake --preset win32 >/dev/null

host: bootstrap build/host/build.ninja
	cmake --build build/host -j $(JOBS)

win32: bootstrap build/win32/build.ninja
	cmake --build build/win32 -j $(JOBS)

run: win32
	scripts/run.sh

soak: win32
	scripts/soak.sh

test: host win32
	scripts/test.sh

bench: bootstrap
	cmake --preset bench >/dev/null
	cmake --build build/bench -j $(JOBS)
	scripts/bench.sh

fuzz: bootstrap
	cmake --preset fuzz >/dev/null
	cmake --build build/fuzz -j $(JOBS)
	scripts/fuzz.sh long

settings: bootstrap build/win32/build.ninja
	cmake --build build/win32 -j $(JOBS) --target settings

installer: bootstrap build/win32/build.ninja
	cmake --build build/win32 -j $(JOBS) --target installer

clean:
	rm -rf build/host build/win32 build/bench build/fuzz
