// ledger_generate: fills the database named by a configuration file with demo shop data.

#include "DatabaseEngine.h"
#include "DbConfig.h"
#include "DbManager.h"
#include "DemoData.h"
#include "DemoWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace
{

// Relative database paths resolve against the working folder, the folder that holds
// "InitParam/dBConfig.ini"; for a configuration file elsewhere, the current folder.
QString WorkingFolderOf(const QFileInfo& config)
{
    const QDir folder = config.absoluteDir();
    if (folder.dirName() == QLatin1String("InitParam"))
        return QFileInfo(folder.absolutePath()).absolutePath();
    return QDir::currentPath();
}

bool ReadCount(const QCommandLineParser& parser, const QString& name, int minimum, int& value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    return ok && value >= minimum;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fills the ledger database named by a configuration file with demo data."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("config"), QStringLiteral("Configuration file (required)."),
         QStringLiteral("path")},
        {QStringLiteral("stores"), QStringLiteral("Number of stores (1)."), QStringLiteral("n")},
        {QStringLiteral("goods"), QStringLiteral("Goods rows per store (3000)."),
         QStringLiteral("n")},
        {QStringLiteral("money"), QStringLiteral("Money rows per store (1500)."),
         QStringLiteral("n")},
        {QStringLiteral("days"), QStringLiteral("Days the rows spread over (60)."),
         QStringLiteral("n")},
        {QStringLiteral("end"), QStringLiteral("Last day, yyyy-MM-dd (today)."),
         QStringLiteral("date")},
        {QStringLiteral("seed"), QStringLiteral("Random seed (20240601)."), QStringLiteral("s")},
        {QStringLiteral("use-store-of-config"),
         QStringLiteral("The first store is the configuration's own (made and written back when "
                        "the file has none).")},
    });
    parser.process(app);

    if (!parser.isSet(QStringLiteral("config"))) {
        err << "ledger_generate: --config is required\n";
        return 2;
    }
    DemoOptions options;
    bool valid = ReadCount(parser, QStringLiteral("stores"), 1, options.stores) &&
                 ReadCount(parser, QStringLiteral("goods"), 0, options.goodsPerStore) &&
                 ReadCount(parser, QStringLiteral("money"), 0, options.moneyPerStore) &&
                 ReadCount(parser, QStringLiteral("days"), 1, options.days);
    if (parser.isSet(QStringLiteral("end"))) {
        options.end = QDate::fromString(parser.value(QStringLiteral("end")), Qt::ISODate);
        valid = valid && options.end.isValid();
    }
    if (parser.isSet(QStringLiteral("seed")))
        options.seed = parser.value(QStringLiteral("seed")).toUInt(&valid);
    if (!valid) {
        err << "ledger_generate: invalid option value (see --help)\n";
        return 2;
    }

    const QFileInfo config(parser.value(QStringLiteral("config")));
    if (!config.isFile()) {
        err << "ledger_generate: no configuration file " << config.filePath() << "\n";
        return 2;
    }
    const QString configPath = config.absoluteFilePath();
    QDir::setCurrent(WorkingFolderOf(config));
    if (parser.isSet(QStringLiteral("use-store-of-config"))) {
        QString why;
        options.firstStoreNo = StoreNumber::LoadOrCreate(configPath, &why);
        if (options.firstStoreNo.isEmpty()) {
            err << "ledger_generate: " << why << "\n";
            return 1;
        }
    }

    DbManager* manager = DbManager::Instance();
    if (!manager->ConnectFromConfig(configPath)) {
        err << "ledger_generate: cannot open the database of " << configPath << ": "
            << manager->ConnectError() << "\n";
        return 1;
    }
    DatabaseEngine::Instance()->SetDbManager(manager);

    DemoWriter writer;
    const QList<StoreDemo> stores = DemoData::Build(options);
    for (const StoreDemo& store : stores) {
        if (!writer.Write(store)) {
            err << "ledger_generate: store " << store.storeNo << ": " << writer.Error() << "\n";
            return 1;
        }
        out << "store " << store.storeNo << ": " << store.goods.size() << " goods rows, "
            << store.money.size() << " money rows, " << store.catalog.accounts.size()
            << " accounts\n";
    }
    // The accounts come from the seed alone, so the same seed always makes the same ones.
    out << "accounts of store " << stores.first().storeNo
        << " (sign in with the name or the phone number):\n";
    for (const UserRecord& user : stores.first().catalog.accounts)
        out << "  role " << user.user_type << "  " << user.user_name << "  " << user.user_phoneno
            << "  password " << user.user_password << "\n";
    return 0;
}
