// A test fixture whose settings store lives in a folder of its own, set
// before the first QSettings of the test is created.
#pragma once

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace skedra::test {

class TempSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    }

    // The file QSettings("Skedra", "Skedra") writes.
    QString storeFile() const { return dir.path() + QStringLiteral("/Skedra/Skedra.conf"); }

    QTemporaryDir dir;
};

} // namespace skedra::test
