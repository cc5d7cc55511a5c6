// Throughput of loading and saving books against plain file I/O on the same
// files, in the same run. The books come from `qpdtool gen` into the folder
// named by QP_BENCH_DIR: book1000.qpd, book10000.qpd, book100000.qpd.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "store/DataFile.h"

namespace {

std::string benchDir() {
    const char* dir = std::getenv("QP_BENCH_DIR");
    return dir ? dir : ".";
}

std::string bookPath(std::int64_t pages) { return benchDir() + "/book" + std::to_string(pages) + ".qpd"; }

std::int64_t fileSize(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    fseeko(f, 0, SEEK_END);
    std::int64_t size = ftello(f);
    std::fclose(f);
    return size;
}

// Reads the whole file into a fresh buffer, as a loader must.
bool plainRead(const std::string& path, std::unique_ptr<char[]>& buffer, std::int64_t& size) {
    size = fileSize(path);
    if (size < 0) return false;
    buffer.reset(new char[static_cast<std::size_t>(size)]);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bool ok = std::fread(buffer.get(), 1, static_cast<std::size_t>(size), f) == static_cast<std::size_t>(size);
    std::fclose(f);
    return ok;
}

// Reads the file and writes it to another one, flushed to the disk like a save.
bool plainCopy(const std::string& from, const std::string& to, bool flush) {
    std::unique_ptr<char[]> buffer;
    std::int64_t size = 0;
    if (!plainRead(from, buffer, size)) return false;
    int fd = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return false;
    bool ok = write(fd, buffer.get(), static_cast<std::size_t>(size)) == size && (!flush || fsync(fd) == 0);
    return close(fd) == 0 && ok;
}

void skipWithoutBook(benchmark::State& state, std::int64_t size) {
    if (size < 0) state.SkipWithError("no book: run scripts/bench.sh, or set QP_BENCH_DIR");
}

void BM_PlainRead(benchmark::State& state) {
    const std::string path = bookPath(state.range(0));
    std::int64_t size = fileSize(path);
    skipWithoutBook(state, size);
    for (auto _ : state) {
        std::unique_ptr<char[]> buffer;
        if (!plainRead(path, buffer, size)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_Load(benchmark::State& state) {
    const std::string path = bookPath(state.range(0));
    std::int64_t size = fileSize(path);
    skipWithoutBook(state, size);
    for (auto _ : state) {
        auto table = std::make_unique<PageTable>();
        DataFileHeader header;
        VersionBlock version;
        if (!readDataFile(path, *table, header, version)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(table->count());
        // Freeing the book is not part of loading it (the program loads into
        // an empty table at start-up).
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void copyBench(benchmark::State& state, bool flush) {
    const std::string path = bookPath(state.range(0));
    const std::string target = benchDir() + "/copy.qpd";
    std::int64_t size = fileSize(path);
    skipWithoutBook(state, size);
    for (auto _ : state)
        if (!plainCopy(path, target, flush)) state.SkipWithError("copy failed");
    state.SetBytesProcessed(state.iterations() * size);
    unlink(target.c_str());
}

void BM_PlainCopy(benchmark::State& state) { copyBench(state, true); }
void BM_PlainCopyUnflushed(benchmark::State& state) { copyBench(state, false); }

void BM_Save(benchmark::State& state) {
    const std::string path = bookPath(state.range(0));
    const std::string target = benchDir() + "/save.qpd";
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    if (!readDataFile(path, table, header, version))
        state.SkipWithError("no book: run scripts/bench.sh, or set QP_BENCH_DIR");
    std::int64_t size = fileSize(path);
    for (auto _ : state)
        if (!writeDataFile(target, version, false, table, header)) state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * size);
    unlink(target.c_str());
}

void books(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_PlainRead)->Apply(books);
BENCHMARK(BM_Load)->Apply(books);
BENCHMARK(BM_PlainCopy)->Apply(books);
BENCHMARK(BM_PlainCopyUnflushed)->Apply(books);
BENCHMARK(BM_Save)->Apply(books);

}  // namespace

// Freed memory stays in the process (set QP_BENCH_COLD=1 to leave glibc's
// defaults): otherwise the figures depend on which benchmark ran first, as
// glibc's trim and mmap thresholds adapt to earlier allocations, and they
// measure the kernel's page faults more than the reading and copying.
int main(int argc, char** argv) {
    if (!std::getenv("QP_BENCH_COLD")) {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
