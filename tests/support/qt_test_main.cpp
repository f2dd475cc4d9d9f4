#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <memory>

#include "platform/application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  ::testing::InitGoogleTest(&argc, argv);
  tambrel::platform::Application application(argc, argv);
  return RUN_ALL_TESTS();
}
