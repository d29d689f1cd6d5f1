#include "app/command_line.h"

#include <optional>

namespace nubivista::app {

namespace {

// The value of an option: after "=", or the next argument.
std::optional<QString> optionValue(const QStringList& arguments, qsizetype& at,
                                   const std::optional<QString>& inlineValue) {
    if (inlineValue)
        return inlineValue;
    if (at + 1 >= arguments.size())
        return std::nullopt;
    return arguments.at(++at);
}

} // namespace

QString commandLineHelp() {
    return QStringLiteral(
        "Usage: nubivista [--demo | --feed URL]\n"
        "       nubivista --export-gif FILE [--set NAME]\n"
        "\n"
        "Keeps a loop of the newest Doppler radar images of one site.\n"
        "\n"
        "  nubivista             Today's radar: the program starts its feed, which fetches\n"
        "                        the weather service's NEXRAD Level III products.\n"
        "  nubivista --demo      Simulated storms, no Internet needed. The caption and every\n"
        "                        picture say so.\n"
        "  nubivista --feed URL  Uses a feed already running at URL (for example\n"
        "                        http://127.0.0.1:8080/ from nubivista-feed --port 8080)\n"
        "                        and starts none.\n"
        "  --export-gif FILE     Writes the loop as it plays (loop or rock, delays, time\n"
        "                        stamps as set) as an animated GIF to FILE and exits,\n"
        "                        without a window.\n"
        "  --set NAME            With --export-gif: the saved image set NAME (or the path\n"
        "                        of its .sis file) instead of the current loop.\n"
        "  -h, --help            Shows this text.\n");
}

std::variant<CommandLine, QString> parseCommandLine(const QStringList& arguments,
                                                    bool ignoreUnknown) {
    CommandLine line;
    bool demo = false;
    bool external = false;
    std::optional<QString> exportFile;
    std::optional<QString> setName;
    for (qsizetype at = 1; at < arguments.size(); ++at) {
        const QString& argument = arguments.at(at);
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help") ||
            argument == QLatin1String("-?")) {
            line.showHelp = true;
            continue;
        }
        if (!argument.startsWith(QLatin1Char('-'))) {
            if (ignoreUnknown)
                continue;
            return QStringLiteral("nubivista: unexpected argument \"%1\" (see --help)")
                .arg(argument);
        }
        QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        std::optional<QString> inlineValue;
        if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals >= 0) {
            inlineValue = name.mid(equals + 1);
            name = name.left(equals);
        }
        if (name == QLatin1String("demo") && !inlineValue) {
            demo = true;
        } else if (name == QLatin1String("feed")) {
            const std::optional<QString> value = optionValue(arguments, at, inlineValue);
            if (!value)
                return QStringLiteral("nubivista: --feed needs the feed's address (see --help)");
            const QUrl address(*value, QUrl::StrictMode);
            if (!address.isValid() || address.scheme() != QLatin1String("http") ||
                address.host().isEmpty() || address.port() <= 0)
                return QStringLiteral("nubivista: --feed takes an address like "
                                      "http://127.0.0.1:8080/, not \"%1\"")
                    .arg(*value);
            line.feed.address = address;
            external = true;
        } else if (name == QLatin1String("export-gif") || name == QLatin1String("set")) {
            const std::optional<QString> value = optionValue(arguments, at, inlineValue);
            if (!value || value->isEmpty())
                return QStringLiteral("nubivista: --%1 needs a %2 (see --help)")
                    .arg(name, name == QLatin1String("set") ? QStringLiteral("set name")
                                                            : QStringLiteral("file name"));
            if (name == QLatin1String("set"))
                setName = *value;
            else
                exportFile = *value;
        } else if (!ignoreUnknown) {
            return QStringLiteral("nubivista: unknown option \"%1\" (see --help)").arg(argument);
        }
    }
    if (demo && external)
        return QStringLiteral("nubivista: --demo and --feed cannot go together (see --help)");
    if (setName && !exportFile)
        return QStringLiteral("nubivista: --set goes with --export-gif (see --help)");
    if (exportFile)
        line.exportGif = GifExportRequest{*exportFile, setName.value_or(QString())};
    line.feed.source = demo       ? acquisition::FeedSource::Demo
                       : external ? acquisition::FeedSource::External
                                  : acquisition::FeedSource::Live;
    return line;
}

} // namespace nubivista::app
