#include "platform/mail/mailtransfer.h"

#include <QFile>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>

namespace pelmar {

namespace {

struct EasyDeleter
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using StringList = std::unique_ptr<curl_slist, ListDeleter>;

// curl_global_init is not safe to race with other threads' curl calls, so
// it runs once, before the first transfer.
CURLcode globalInit()
{
    static std::once_flag once;
    static CURLcode result = CURLE_OK;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return result;
}

bool appendTo(StringList& list, const std::string& item)
{
    curl_slist* head = curl_slist_append(list.get(), item.c_str());
    if (!head)
        return false;
    // The head stays the same after the first append; never let reset()
    // free the list it is handed.
    static_cast<void>(list.release());
    list.reset(head);
    return true;
}

// What one transfer learns while it runs, for its callbacks and its report.
struct Progress
{
    explicit Progress(const SmtpTransfer& t) : transfer(t) {}

    const SmtpTransfer& transfer;
    qsizetype sent = 0;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    QString failure; // why we stopped before curl did
    std::string lastReply;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* userp)
{
    auto* progress = static_cast<Progress*>(userp);
    const QByteArray& message = progress->transfer.message;
    const size_t room = size * count;
    const size_t left = static_cast<size_t>(message.size() - progress->sent);
    const size_t n = std::min(room, left);
    if (n > 0) {
        std::memcpy(buffer, message.constData() + progress->sent, n);
        progress->sent += static_cast<qsizetype>(n);
    }
    return n;
}

// Only the server's reply lines are kept; what we send includes the
// password.
int keepLastReply(CURL*, curl_infotype type, char* data, size_t size, void* userp)
{
    if (type != CURLINFO_HEADER_IN)
        return 0;
    auto* progress = static_cast<Progress*>(userp);
    std::string text(data, size);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    const size_t lineStart = text.find_last_of("\r\n");
    if (lineStart != std::string::npos)
        text.erase(0, lineStart + 1);
    if (!text.empty())
        progress->lastReply = text;
    return 0;
}

// CAINFO names one bundle and would replace the system's, so the
// transfer gets the system's bundle and the extra file as one.
CURLcode trustCaFile(CURL* curl, Progress& progress)
{
    const QString& caFile = progress.transfer.caFile;
    QFile extra(caFile);
    if (!extra.open(QIODevice::ReadOnly)) {
        progress.failure = QStringLiteral("cannot read the CA file %1 (%2)").arg(caFile, extra.errorString());
        return CURLE_SSL_CACERT_BADFILE;
    }
    QByteArray bundle;
    char* system = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CAINFO, &system) == CURLE_OK && system) {
        QFile file(QString::fromLocal8Bit(system));
        if (file.open(QIODevice::ReadOnly))
            bundle = file.readAll() + '\n';
    }
    bundle += extra.readAll();
    curl_blob blob{bundle.data(), static_cast<size_t>(bundle.size()), CURL_BLOB_COPY};
    return curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
}

// The login, the server, its TLS and where to connect; connectList holds
// the CONNECT_TO entry for the transfer's life.
CURLcode setServer(CURL* curl, Progress& progress, StringList& connectList)
{
    const SmtpTransfer& t = progress.transfer;
    if (t.login) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, t.userName.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, t.password.c_str());
        // The two mechanisms that need nothing but the user name and
        // password; curl takes PLAIN when the server offers both.
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN;AUTH=PLAIN");
    }
    curl_easy_setopt(curl, CURLOPT_URL, t.url.c_str());
    // smtps:// is TLS from the start; smtp:// upgrades with STARTTLS when
    // offered, and must where the password would otherwise cross the
    // network in clear.
    const long useSsl = (t.implicitTls || t.tlsRequired) ? CURLUSESSL_ALL : CURLUSESSL_TRY;
    curl_easy_setopt(curl, CURLOPT_USE_SSL, useSsl);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!t.caFile.isEmpty()) {
        const CURLcode trusted = trustCaFile(curl, progress);
        if (trusted != CURLE_OK)
            return trusted;
    }
    if (!t.connectTo.empty()) {
        if (!appendTo(connectList, t.connectTo))
            return CURLE_OUT_OF_MEMORY;
        curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectList.get());
    }
    return CURLE_OK;
}

// Sender and recipients; rcpt holds the recipients for the transfer's life.
CURLcode setEnvelope(CURL* curl, const SmtpTransfer& t, StringList& rcpt)
{
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, t.from.c_str());
    for (const std::string& recipient : t.recipients) {
        if (!appendTo(rcpt, recipient))
            return CURLE_OUT_OF_MEMORY;
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt.get());
    return CURLE_OK;
}

// The message's upload, the timeouts and the report of what went wrong.
void setUpload(CURL* curl, Progress& progress)
{
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &progress);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    // Signals belong to the main thread; timeouts must not use them.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, progress.transfer.connectTimeout);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, progress.transfer.totalTimeout);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, progress.errorBuffer);
    // The debug callback only runs in verbose mode; it replaces the default
    // output to stderr.
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &keepLastReply);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &progress);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
}

CURLcode run(Progress& progress)
{
    const CURLcode init = globalInit();
    if (init != CURLE_OK)
        return init;
    EasyHandle easy(curl_easy_init());
    if (!easy)
        return CURLE_FAILED_INIT;
    CURL* curl = easy.get();
    StringList connectList;
    StringList rcpt;
    CURLcode code = setServer(curl, progress, connectList);
    if (code == CURLE_OK)
        code = setEnvelope(curl, progress.transfer, rcpt);
    if (code != CURLE_OK)
        return code;
    setUpload(curl, progress);
    return curl_easy_perform(curl);
}

QString describe(CURLcode code, const Progress& progress)
{
    QString text = QString::fromUtf8(curl_easy_strerror(code));
    const QString detail =
        progress.failure.isEmpty() ? QString::fromUtf8(progress.errorBuffer).trimmed() : progress.failure;
    if (!detail.isEmpty() && detail != text)
        text += QStringLiteral(": ") + detail;
    if (code == CURLE_USE_SSL_FAILED && progress.transfer.tlsRequired)
        text += QStringLiteral(" No password was sent: %1 did not start TLS, and the mail password "
                               "goes only over TLS or to a server on this computer.")
                    .arg(progress.transfer.host);
    if (!progress.lastReply.empty())
        text += QStringLiteral(" (server: %1)").arg(QString::fromUtf8(progress.lastReply));
    return text;
}

} // namespace

MailResult perform(const SmtpTransfer& transfer)
{
    CURLcode code = CURLE_OUT_OF_MEMORY;
    QString description;
    try {
        Progress progress(transfer);
        code = run(progress);
        description = describe(code, progress);
    } catch (const std::exception&) {
        description = QString::fromUtf8(curl_easy_strerror(code));
    }
    return {static_cast<int>(code), description};
}

} // namespace pelmar
