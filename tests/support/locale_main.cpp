// Test entry for tests without the toolkit that read or write numbers: the
// process locale from the environment, as the toolkit sets it when it
// starts, so the locale runs put them in the users' locale too.
#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
