#pragma once
// The base fixture of every test: a fresh profile (KESTROVA_HOME, XDG_CONFIG_HOME), a fresh global
// state record and scripted prompts.

#include "scripted_prompts.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kestrova::test {

class KestrovaTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path inside this test's own temporary folder.
    QString tempPath(const QString& name) const;
    QString homeFolder() const;    // KESTROVA_HOME, with a trailing "/"
    QString configFolder() const;  // XDG_CONFIG_HOME

    ScriptedPrompts* prompts = nullptr;

private:
    std::unique_ptr<QTemporaryDir> root_;
    std::unique_ptr<Prompts> previousPrompts_;
};

}  // namespace kestrova::test
