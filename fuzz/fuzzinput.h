#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

// A fuzz input is a run of datagrams separated by the record separator byte 0x1e, so that
// one input can walk through a conversation (a login, then requests within the session).
inline QList<QByteArray> splitDatagrams(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size))
        .split('\x1e');
}
