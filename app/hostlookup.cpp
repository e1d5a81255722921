#include <app/hostlookup.h>

#include <mutex>
#include <thread>

#include <netdb.h>
#include <sys/socket.h>

namespace Brellow {

// Shared by the object and its lookup threads; the last one out frees it.
struct HostLookup::Shared
{
    std::mutex mutex;
    HostLookup *owner = nullptr; // null once the object is gone
};

HostLookup::HostLookup(QObject *parent) : QObject(parent), m_shared(std::make_shared<Shared>())
{
    m_shared->owner = this;
}

HostLookup::~HostLookup()
{
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->owner = nullptr;
}

void HostLookup::start(const QString &host)
{
    std::thread([shared = m_shared, name = host.toUtf8()] {
        QList<QHostAddress> addresses;
        QString errorText;
        addrinfo hints = {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo *result = nullptr;
        const int status = ::getaddrinfo(name.constData(), nullptr, &hints, &result);
        if (status == 0) {
            for (const addrinfo *entry = result; entry; entry = entry->ai_next) {
                const QHostAddress address(entry->ai_addr);
                if (!address.isNull() && !addresses.contains(address))
                    addresses.append(address);
            }
            ::freeaddrinfo(result);
        } else {
            errorText = QString::fromLocal8Bit(::gai_strerror(status));
        }

        // Holding the lock keeps the owner alive until the call is queued; a
        // queued call to an object that is then destroyed is discarded.
        const std::lock_guard<std::mutex> lock(shared->mutex);
        if (HostLookup *owner = shared->owner) {
            QMetaObject::invokeMethod(
                owner,
                [owner, addresses, errorText] { emit owner->finished(addresses, errorText); },
                Qt::QueuedConnection);
        }
    }).detach();
}

} // namespace Brellow
