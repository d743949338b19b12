#include "gui/register_link.h"

#include "gui/legal_actions.h"
#include "gui/simulator_window.h"
#include "register/record_json.h"
#include "register/register.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QThread>
#include <QTimer>

#include <filesystem>
#include <utility>

namespace gui {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

std::optional<std::string> shopName(SimulatorWindow& window) {
    if (const auto* legal = window.openedCompanion<LegalActions>(); legal && legal->shop().shop) {
        return legal->shop().shop->name;
    }
    return std::nullopt;
}

} // namespace

RegisterLink::RegisterLink(SimulatorWindow& window, reg::LocationChoice where)
    : QObject(&window), window_(window), location_(std::move(where.location)),
      locationError_(text(where.error)) {
    showError = [this](const QString& title, const QString& message) {
        auto* box =
            new QMessageBox(QMessageBox::Warning, title, message, QMessageBox::Ok, &window_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    status_ = new QLabel(window.menus());
    status_->setObjectName(QStringLiteral("registerStatus"));
    status_->setContentsMargins(0, 0, 8, 0);
    window.menus()->setCornerWidget(status_, Qt::TopRightCorner);
    status_->hide();
    window.installEventFilter(this);
    timer_ = new QTimer(this);
    timer_->setInterval(60 * 1000);
    connect(timer_, &QTimer::timeout, this, [this] { sendOutbox(); });
    timer_->start();
    QTimer::singleShot(0, this, [this] { sendOutbox(); });
}

RegisterLink::~RegisterLink() {
    if (worker_) {
        worker_->wait(); // its connections close with it
    }
}

QString RegisterLink::statusText() const {
    if (waiting_ + static_cast<long long>(unfiled_.size()) == 0) {
        return {};
    }
    return QStringLiteral("Registru: %1 inregistrari netrimise")
        .arg(waiting_ + static_cast<long long>(unfiled_.size()));
}

void RegisterLink::countWaiting() {
    if (location_) {
        reg::Register registru(*location_, reg::outboxFile());
        long long n = 0;
        if (registru.pending(n).ok) {
            waiting_ = n;
        }
    }
    const QString now = statusText();
    status_->setText(now);
    status_->setVisible(!now.isEmpty());
}

void RegisterLink::issued(std::string_view kind, const std::optional<QString>& file) {
    reg::MadeRecord made = reg::makeRecord(window_.form(), kind, shopName(window_), std::nullopt);
    if (file) {
        made.record.document_sha256 = reg::sha256OfFile(file->toStdString());
    }
    if (!location_) {
        keepUnfiled(std::move(made), locationError_);
        return;
    }
    if (location_->postgres()) {
        // A server that does not answer would hold the window for the connection's time limit:
        // the record goes to the local outbox at once, and the sending thread takes it on.
        reg::Register outbox(reg::Location{reg::outboxFile(), {}}, std::filesystem::path());
        const reg::FileResult result = outbox.file(made.record, made.tariffJson);
        if (result.filed == reg::Filed::failed) {
            keepUnfiled(std::move(made), text(result.message));
            return;
        }
        sendOutbox();
        return;
    }
    reg::Register registru(*location_, reg::outboxFile());
    const reg::FileResult result = registru.file(made.record, made.tariffJson);
    if (result.filed == reg::Filed::queued) {
        showError(QStringLiteral("Registru"),
                  QStringLiteral("Documentul a fost emis. Registrul nu l-a putut inregistra:\n"
                                 "%1\n\nInregistrarea asteapta in %2.")
                      .arg(text(result.message), text(reg::outboxFile().string())));
    } else if (result.filed == reg::Filed::failed) {
        keepUnfiled(std::move(made), text(result.message));
        return;
    }
    countWaiting();
}

void RegisterLink::keepUnfiled(reg::MadeRecord made, const QString& why) {
    unfiled_.push_back(std::move(made));
    countWaiting();
    showError(QStringLiteral("Registru"),
              QStringLiteral("Documentul a fost emis, dar nu a putut fi inregistrat:\n%1\n\n"
                             "Inregistrarea este pastrata pana la inchiderea ferestrei.")
                  .arg(why));
}

void RegisterLink::sendOutbox() {
    if (sending_) {
        sendAgain_ = true; // a record filed while a send is under way goes out right after it
    }
    if (!location_ || sending_) {
        countWaiting();
        return;
    }
    sending_ = true;
    // The records kept in memory go first to the outbox, once it can take them (straight to a
    // local register; never to a server from the window's thread).
    std::vector<reg::MadeRecord> still;
    for (reg::MadeRecord& made : unfiled_) {
        reg::Register registru(location_->postgres() ? reg::Location{reg::outboxFile(), {}}
                                                     : *location_,
                               location_->postgres() ? std::filesystem::path() : reg::outboxFile());
        if (registru.file(made.record, made.tariffJson).filed == reg::Filed::failed) {
            still.push_back(std::move(made));
        }
    }
    unfiled_ = std::move(still);
    // A connection to a server that does not answer takes seconds: sent from a thread of its own,
    // with connections of its own.
    const reg::Location where = *location_;
    QThread* worker = QThread::create([this, where] {
        reg::Register registru(where, reg::outboxFile());
        long long sent = 0;
        const bool ok = registru.sync(sent).ok;
        QMetaObject::invokeMethod(this, [this, ok] {
            sending_ = false;
            if (ok && std::exchange(sendAgain_, false)) {
                sendOutbox();
                return;
            }
            sendAgain_ = false; // a server that failed now is tried again by the timer
            countWaiting();
        });
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker_ = worker;
    worker->start();
}

// Records that nothing could take: on closing, one more try, then the agent decides.
bool RegisterLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Close && !unfiled_.empty()) {
        if (!askAboutUnfiled()) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool RegisterLink::askAboutUnfiled() {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Registru"),
                    QStringLiteral("%1 documente emise nu sunt in registru. Fara ele, registrul nu "
                                   "poate arata ce s-a emis.")
                        .arg(unfiled_.size()),
                    QMessageBox::NoButton, &window_);
    QPushButton* save =
        box.addButton(QStringLiteral("&Salveaza intr-un fisier..."), QMessageBox::AcceptRole);
    QPushButton* stay = box.addButton(QStringLiteral("&Nu inchide"), QMessageBox::RejectRole);
    QPushButton* drop =
        box.addButton(QStringLiteral("&Renunta la ele"), QMessageBox::DestructiveRole);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == drop) {
        return true;
    }
    if (box.clickedButton() == stay || box.clickedButton() != save) {
        return false;
    }
    const QString path = QFileDialog::getSaveFileName(
        &window_, QStringLiteral("Salveaza inregistrarile"), QStringLiteral("registru.jsonl"),
        QStringLiteral("Linii JSON (*.jsonl)"));
    if (path.isEmpty()) {
        return false;
    }
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        for (const reg::MadeRecord& made : unfiled_) {
            out.write(QByteArray::fromStdString(reg::recordJson(made.record) + "\n"));
        }
    }
    if (!out.commit()) {
        QMessageBox::warning(
            &window_, QStringLiteral("Registru"),
            QStringLiteral("Fisierul %1 nu a putut fi scris: %2").arg(path, out.errorString()));
        return false;
    }
    return true;
}

} // namespace gui
