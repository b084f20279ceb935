// The core tests read and write pictures through Qt's image plugins, which Qt loads and
// unloads properly only while an application object exists.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
