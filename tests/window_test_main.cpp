#include "common/accessible_names.h"
#include "common/button_keys.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char* argv[]) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    tarvo::installButtonKeys(application);
    tarvo::installAccessibleRoles();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
