// Start-up to the main window shown: the user folder checks, the settings
// read and the main window's load, as a second run sees them (the folders
// exist, nothing is seeded), and the first run with its seed copies.
#include "core/form1.h"
#include "core/message_service.h"
#include "core/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace nubivista::core;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

struct ProgramFolder {
    ProgramFolder() {
        QDir().mkpath(appDir()); // the settings file is written before anything else
        saveSettingsFile(appDir() + QStringLiteral("/Nubivista.ini"), Settings{});
        writeBytes(appDir() + QStringLiteral("/Sample Loop Images/CurrSetRec.sis"),
                   QByteArray(494, 0));
        for (int n = 1; n <= 11; ++n)
            writeBytes(appDir() + QStringLiteral("/Sample Loop Images/latest%1.gif").arg(n),
                       QByteArray(40000, 'g'));
    }
    QString appDir() const { return dir.filePath(QStringLiteral("app")); }
    QTemporaryDir dir;
};

// False when start-up failed, which would make the figures meaningless.
bool startAndShow(const ProgramFolder& program, const QString& profileDir) {
    Settings settings;
    MessageService messages(settings.MsgOffMap);
    StartupEnvironment env;
    env.executableDir = program.appDir();
    env.profileDir = profileDir;
    const auto started = runStartup(env, settings, messages);
    if (!started)
        return false;
    SystemClock clock;
    Form1 form(settings, started->paths, messages, clock);
    form.Form_Load();
    form.show();
    QCoreApplication::processEvents();
    return form.isVisible();
}

void BM_StartupSecondRunToMainWindowShown(benchmark::State& state) {
    ProgramFolder program;
    QTemporaryDir profile;
    if (!startAndShow(program, profile.path()))
        state.SkipWithError("start-up failed");
    for (auto _ : state)
        if (!startAndShow(program, profile.path()))
            state.SkipWithError("start-up failed");
}
BENCHMARK(BM_StartupSecondRunToMainWindowShown)->Unit(benchmark::kMillisecond);

void BM_StartupFirstRunWithSeedToMainWindowShown(benchmark::State& state) {
    ProgramFolder program;
    for (auto _ : state) {
        state.PauseTiming();
        auto profile = std::make_unique<QTemporaryDir>();
        state.ResumeTiming();
        if (!startAndShow(program, profile->path()))
            state.SkipWithError("start-up failed");
        state.PauseTiming();
        profile.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupFirstRunWithSeedToMainWindowShown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
