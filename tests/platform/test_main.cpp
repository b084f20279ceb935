// The unit tests run with a Qt core application alive, as the program does: image plugins
// loaded while reading pictures are then unloaded in order when the tests end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
