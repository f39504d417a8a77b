# The two commands of the README: `make run` and `make test`.
BUILD_DIR := build
APP_DIR := $(BUILD_DIR)/app
JOBS := $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench format

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/prepare-default-database.sh $(APP_DIR)
	@$(APP_DIR)/tarvo-agenda

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD_DIR)/bench/bench_db
# The window one run a size, as the program starts with one database.
	@for contacts in 1000 10000 100000; do \
		QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/bench_window $$contacts || exit 1; done
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/bench_report

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i
