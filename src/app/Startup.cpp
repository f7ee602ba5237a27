#include "Startup.h"

#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DialogLogin.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "SignInPlacement.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QScreen>
#include <QSplashScreen>

const QString Startup::SplashMessage =
    QStringLiteral("[初始登录名:admin 密码：407152]库存财务管理软件启动中....");
const QString Startup::StyleSheetPath = QStringLiteral(":/qss/qss/styleSheet.qss");

Startup::Startup(const QString& iniPath) : iniPath(iniPath) {}

Startup::~Startup() = default;

bool Startup::Start()
{
    splash = std::make_unique<QSplashScreen>(QPixmap(QStringLiteral(":/backg/backg/1_backg.png")));
    splash->setDisabled(true);
    splash->show();
    splash->showMessage(SplashMessage, Qt::AlignRight | Qt::AlignTop, Qt::green);

    login = std::make_unique<DialogLogin>();
    PlaceSignIn();
    if (!ConnectStore()) {
        stopped = true;
        splash->close();
        return false;
    }
    // The line that tells a watching script the program came up as far as sign-in.
    qDebug() << "sign-in open";
    if (Prompt::Current().SignIn(*login) != QDialog::Accepted) {
        splash->close();
        return false;
    }

    DatabaseEngine::Instance()->SetActor({login->user.user_name, login->user.user_type});
    ApplyStyleSheet();
    window = std::make_unique<MainWindow>();
    window->SetUser(login->user);
    window->SetJobLauncher(&jobs);
    window->InitMainWindow();
    window->showMaximized();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/icons/1_green.png")));
    splash->finish(window.get());
    return true;
}

int Startup::Run()
{
    if (Start())
        return QApplication::exec();
    return stopped ? 1 : 0;
}

bool Startup::ConnectStore()
{
    DbManager* manager = DbManager::Instance();
    if (!manager->ConnectFromConfig(iniPath))
        Warn(QObject::tr("数据库连接"), QObject::tr("警告：数据库连接失败") +
                                            QObject::tr("\n原因：") + manager->ConnectError());
    DatabaseEngine::Instance()->SetDbManager(manager);

    // Without its configuration this is no installation yet: the installation supplies the file,
    // and a file holding nothing but a store number would only hide the missing settings at the
    // next start. No store is chosen then; the start goes on as with any failed connection.
    if (!QFileInfo::exists(iniPath)) {
        DatabaseEngine::Instance()->SetStoreNo(QString());
        return true;
    }
    QString why;
    const QString storeNo = StoreNumber::LoadOrCreate(iniPath, &why);
    if (storeNo.isEmpty()) {
        Warn(QObject::tr("店号"),
             QObject::tr("警告：无法在配置文件中保存本店的店号，程序不能启动。\n"
                         "没有保存的店号，每次启动都会换一个新店号，已录入的数据将看不到。\n"
                         "原因：") +
                 why);
        return false;
    }
    DatabaseEngine::Instance()->SetStoreNo(storeNo);
    return true;
}

void Startup::PlaceSignIn()
{
    // The splash draws its message this far inside its edge.
    const int messageMargin = 5;
    const int hint = QFontMetrics(splash->font()).height() + 2 * messageMargin;
    const SignInPlacement place = SignInPlacement::Place(
        splash->screen()->availableGeometry(), splash->size(), hint, login->frameGeometry().size());
    splash->move(place.splash);
    login->move(place.login);
}

void Startup::Warn(const QString& title, const QString& text)
{
    PromptBox box;
    box.title = title;
    box.text = text;
    box.icon = QMessageBox::Warning;
    box.standardButton = QMessageBox::Close;
    Prompt::Current().Ask(nullptr, box);
}

void Startup::ApplyStyleSheet()
{
    QFile file(StyleSheetPath);
    if (!file.open(QIODevice::ReadOnly)) {
        qApp->setStyleSheet(QString());
        return;
    }
    const QByteArray bytes = file.readAll();
    const qsizetype end = bytes.indexOf('\0');
    qApp->setStyleSheet(QString::fromLatin1(end < 0 ? bytes : bytes.left(end)));
}
