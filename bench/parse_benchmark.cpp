// SPDX-License-Identifier: MIT
// In-process cost of reading a link: the parse of a typical, the largest and a hostile
// link from a file, the typical link from memory, the getters, and the ID list walk
// alone; then the complete reader on the typical link from memory, without and with its
// JSON line.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>
#include <shortcut_reader/shortcut_file.h>

#include "sample_links.h"
#include "shortcut_file/target_path.h"
#include "test_support.h"

namespace {

namespace sr = shortcut_file;

const SampleLink& BenchLink(const std::string& name) {
    static const std::vector<SampleLink> links = BenchLinks();
    for (const SampleLink& link : links) {
        if (link.name == name) {
            return link;
        }
    }
    std::abort();
}

void ParseFromFile(benchmark::State& state, const std::string& name) {
    const SampleLink& link = BenchLink(name);
    const TempFile file(link.bytes);
    for (auto _ : state) {
        const ShortcutFile reader(file.Path().c_str());
        benchmark::DoNotOptimize(&reader);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(link.bytes.Size()));
    state.SetItemsProcessed(state.iterations());
}

void BM_ParseTypicalLink(benchmark::State& state) { ParseFromFile(state, "typical.lnk"); }
void BM_ParseLargestLink(benchmark::State& state) { ParseFromFile(state, "largest.lnk"); }
void BM_ParseHostileLinkInfoSize(benchmark::State& state) { ParseFromFile(state, "hostile.lnk"); }

void BM_ReadTypicalLinkFromMemory(benchmark::State& state) {
    const SampleLink& link = BenchLink("typical.lnk");
    for (auto _ : state) {
        ShortcutStatus status = ShortcutStatus::kFileError;
        const ShortcutFile reader(link.bytes.Begin(), link.bytes.Size(), status);
        benchmark::DoNotOptimize(&reader);
        benchmark::DoNotOptimize(status);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(link.bytes.Size()));
    state.SetItemsProcessed(state.iterations());
}

void BM_FourGettersOfTypicalLink(benchmark::State& state) {
    const TempFile file(BenchLink("typical.lnk").bytes);
    const ShortcutFile reader(file.Path().c_str());
    const std::unique_ptr<char[]> buffer(new char[ShortcutFile::kLongestTextBytes]);
    for (auto _ : state) {
        reader.GetPath(buffer.get());
        reader.GetWorkDir(buffer.get());
        reader.GetDesc(buffer.get());
        reader.GetPathRel(buffer.get());
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FourBoundedGettersOfTypicalLink(benchmark::State& state) {
    const Bytes& bytes = BenchLink("typical.lnk").bytes;
    ShortcutStatus status = ShortcutStatus::kFileError;
    const ShortcutFile reader(bytes.Begin(), bytes.Size(), status);
    char buffer[260];
    for (auto _ : state) {
        reader.GetPath(buffer, sizeof buffer);
        reader.GetWorkDir(buffer, sizeof buffer);
        reader.GetDesc(buffer, sizeof buffer);
        reader.GetPathRel(buffer, sizeof buffer);
        benchmark::DoNotOptimize(buffer);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_WalkTypicalIdList(benchmark::State& state) {
    const Bytes list = TypicalItemList();
    char path[sr::kPathBytes];
    for (auto _ : state) {
        sr::BuildTargetPath(list.Begin(), static_cast<unsigned>(list.Size()), path);
        benchmark::DoNotOptimize(path);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(list.Size()));
}

void BM_ReadTypicalLinkCompletely(benchmark::State& state) {
    const Bytes& bytes = BenchLink("typical.lnk").bytes;
    shell_link::CodePage codePage;
    for (auto _ : state) {
        const shell_link::Link link = shell_link::ReadLink(bytes.Begin(), bytes.Size(), codePage);
        benchmark::DoNotOptimize(&link);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.Size()));
    state.SetItemsProcessed(state.iterations());
}

void BM_TypicalLinkAsJsonLine(benchmark::State& state) {
    const Bytes& bytes = BenchLink("typical.lnk").bytes;
    shell_link::CodePage codePage;
    std::string line;
    for (auto _ : state) {
        line.clear();
        shell_link::AppendJsonLine(shell_link::ReadLink(bytes.Begin(), bytes.Size(), codePage), line);
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_ParseTypicalLink);
BENCHMARK(BM_ParseLargestLink);
BENCHMARK(BM_ParseHostileLinkInfoSize);
BENCHMARK(BM_ReadTypicalLinkFromMemory);
BENCHMARK(BM_FourGettersOfTypicalLink);
BENCHMARK(BM_FourBoundedGettersOfTypicalLink);
BENCHMARK(BM_WalkTypicalIdList);
BENCHMARK(BM_ReadTypicalLinkCompletely);
BENCHMARK(BM_TypicalLinkAsJsonLine);
BENCHMARK_MAIN();
