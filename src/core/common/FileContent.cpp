// The new content of a replaced file, in blocks (see FileContent.h).
#include "FileContent.h"

#include "FileRead.h"

namespace atomicfile {

bool Content::open(QString* reason) {
    return !m_copy || openRegularFile(m_file, m_source, reason, QIODevice::Unbuffered);
}

bool Content::next(QByteArrayView* block, QString* reason) {
    if (!m_copy) {
        *block = m_handedOut ? QByteArrayView() : QByteArrayView(m_data);
        m_handedOut = true;
        return true;
    }
    if (m_data.isEmpty())
        m_data.resize(1 << 20);
    const qint64 n = m_file.read(m_data.data(), m_data.size());
    if (n < 0) {
        *reason = m_file.errorString();
        return false;
    }
    *block = QByteArrayView(m_data.constData(), n);
    return true;
}

} // namespace atomicfile
