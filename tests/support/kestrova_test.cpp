#include "kestrova_test.h"

#include "core/global_state.h"

#include <QDir>

namespace kestrova::test {

void KestrovaTest::SetUp() {
    root_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(root_->isValid());
    QDir(root_->path()).mkpath(QStringLiteral("home"));
    QDir(root_->path()).mkpath(QStringLiteral("config"));
    qputenv("KESTROVA_HOME", homeFolder().toUtf8());
    qputenv("XDG_CONFIG_HOME", configFolder().toUtf8());
    Vars = GlobalState{};
    Vars.AppFolder = homeFolder();
    auto scripted = std::make_unique<ScriptedPrompts>();
    prompts = scripted.get();
    previousPrompts_ = InstallPrompts(std::move(scripted));
}

void KestrovaTest::TearDown() {
    InstallPrompts(std::move(previousPrompts_));
    prompts = nullptr;
    qunsetenv("KESTROVA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    root_.reset();
}

QString KestrovaTest::tempPath(const QString& name) const { return root_->filePath(name); }
QString KestrovaTest::homeFolder() const { return root_->filePath(QStringLiteral("home")) + u'/'; }
QString KestrovaTest::configFolder() const { return root_->filePath(QStringLiteral("config")); }

}  // namespace kestrova::test
