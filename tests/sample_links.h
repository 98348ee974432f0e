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
// Every sample: the examples and the malformed and oversized shapes of the tests.
std::vector<SampleLink> SeedLinks();

#endif
