// SPDX-License-Identifier: MIT
// Named link files built from the test-side builder: the examples the README runs,
// and a spread of shapes that seed the fuzzers.
#ifndef SHORTCUT_TESTS_SAMPLE_LINKS_H
#define SHORTCUT_TESTS_SAMPLE_LINKS_H

#include <string>
#include <vector>

#include "link_builder.h"

struct SampleLink {
    std::string name;
    Bytes bytes;
};

// The links kept in examples/.
std::vector<SampleLink> ExampleLinks();
// The list of the typical link: root, volume, three directories and a file.
Bytes TypicalItemList();
// The links the benchmarks read: "typical.lnk" (a Windows link to a file three folders
// deep, with LinkInfo and three strings), "largest.lnk" (a 128-item list and five strings
// of 65535 characters) and "hostile.lnk" (LinkInfoSize 0xFFFFFFF0); then, for the
// resource checks, an IDListSize of 0xFFFF in a short file, the five strings alone and
// the 128-item list alone.
std::vector<SampleLink> BenchLinks();
// One item of each kind Windows' namespace extensions write (shell_item_builders.h),
// each after the root folder it follows.
std::vector<Bytes> NamespaceItems();
// Every sample: the examples, the malformed and oversized shapes of the tests, and the
// namespace items in an ID list and in a Vista ID list block.
std::vector<SampleLink> SeedLinks();

#endif
