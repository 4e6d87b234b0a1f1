# The two commands of the README, and the rest of the project's chores.
BUILD    ?= build
DUNGEON  := $(BUILD)/Dungeon
CMAKE_FLAGS ?=

# Debian packages the game, its tests, benchmarks and fuzzing need.
PACKAGES := g++ cmake ninja-build pkg-config make tk-dev tcl-dev libtogl-dev \
            libgl1-mesa-dev libglu1-mesa-dev libx11-dev libgl1-mesa-dri \
            libgtest-dev libbenchmark-dev xvfb xdotool imagemagick x11-utils \
            clang libclang-rt-14-dev desktop-file-utils jq

ASAN_BUILD ?= build-asan
SANITIZE := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined

.PHONY: all deps configure build dungeon play install check check-asan fuzz bench clean

all: build

# Installs whatever is missing: apt-get update once, then one install.
deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	    $$SUDO apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

# The build itself compiles data/ into $(BUILD)/Dungeon (levels and images).
dungeon: build

play: dungeon
	$(BUILD)/vesk $(DUNGEON)

# The game, the dungeon, the launcher, desktop entry, icon and man page.
# PREFIX is where it will live; DESTDIR, when given, is prepended for staging.
PREFIX ?= /usr/local
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# The sim tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
check-asan: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DVESK_SIM_ONLY=ON \
	    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)"
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j2 --timeout 900

# The readers fuzzed with libFuzzer (clang, ASan+UBSan), FUZZ_SECONDS each, one
# after the other. The corpus grows in $(FUZZ_BUILD)/corpus; every crash, hang or
# blow-up is minimized into tests/fuzz-regressions/, which the sim tests replay.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
fuzz: deps
	@[ -f $(FUZZ_BUILD)/build.ninja ] || cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD)
	@status=0; for t in level ppm; do \
	    fuzz/run.sh $(FUZZ_BUILD) $$t $(FUZZ_SECONDS) $(DUNGEON) > $(FUZZ_BUILD)/$$t-run.log 2>&1 || status=1; \
	    grep -E '^(stat::|regression case)' $(FUZZ_BUILD)/$$t-run.log | sed "s/^/$$t: /"; \
	done; \
	[ $$status = 0 ] || { echo "fuzz: findings above; logs in $(FUZZ_BUILD)/*-run.log"; exit 1; }

# Every test: the sanitizer run first, so the last lines are the main run's summary.
check: dungeon check-asan
	cd $(BUILD) && ctest --output-on-failure -j2 --timeout 900

# Benchmarks in a Release tree of their own: the kernels, then the frames and
# the start-up under a private Xvfb; writes docs/PERFORMANCE.md (bench/run.sh).
BENCH_BUILD ?= build-bench
FRAMES ?= 3000
PROFILED ?= 500
REPS ?= 3
STARTS ?= 9
bench: deps
	@[ -f $(BENCH_BUILD)/build.ninja ] || cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	FRAMES=$(FRAMES) PROFILED=$(PROFILED) REPS=$(REPS) STARTS=$(STARTS) bash bench/run.sh $(BENCH_BUILD) .

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

# The autoplayer plays the built dungeon from level 0 to the win: at the game's
# usual dt, at ragged dts (one seed each) and at a very ragged one.
AUTOPLAY_SEEDS ?= 1 2 3
.PHONY: autoplay soak soak-window
autoplay: dungeon
	cmake --build $(BUILD) --target autoplay
	$(BUILD)/tests/autoplay/autoplay --dungeon $(DUNGEON) --dt 0.011
	@for s in $(AUTOPLAY_SEEDS); do \
	    $(BUILD)/tests/autoplay/autoplay --dungeon $(DUNGEON) --ragged $$s 0.008 0.03 || exit 1; done
	$(BUILD)/tests/autoplay/autoplay --dungeon $(DUNGEON) --ragged 11 0.001 0.1

# Random play on every level, SOAK_SECONDS of game time each, every record
# checked after every frame, under AddressSanitizer and UndefinedBehaviorSanitizer.
SOAK_SECONDS ?= 7200
soak: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DVESK_SIM_ONLY=ON \
	    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)"
	cmake --build $(ASAN_BUILD) --target soak
	$(ASAN_BUILD)/tests/autoplay/soak --source data/levels --seconds $(SOAK_SECONDS)

# The real program under a private Xvfb, driven by xdotool for SOAK_WINDOW_SECONDS.
SOAK_WINDOW_SECONDS ?= 600
soak-window: dungeon
	bash tests/autoplay/soak_window.sh $(BUILD) $(CURDIR) $(SOAK_WINDOW_SECONDS)
