// Re-executes the test binary inside private namespaces before GoogleTest starts, so that
// each test process (CTest runs one per test) has a network of its own.

#include "PrivateNetwork.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    scanix::test::EnterPrivateNamespaces(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
