#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

// Collects every Qt debug, warning and critical message while alive, from any
// thread, and puts the previous handler back when it goes. One at a time.
class MessageCatcher
{
public:
    MessageCatcher() : m_previous(qInstallMessageHandler(&MessageCatcher::handle)) { clear(); }
    ~MessageCatcher() { qInstallMessageHandler(m_previous); }
    MessageCatcher(const MessageCatcher &) = delete;
    MessageCatcher &operator=(const MessageCatcher &) = delete;

    static QStringList messages()
    {
        QMutexLocker locker(&s_mutex);
        return s_messages;
    }
    // True when some message contains the text.
    static bool mentions(const QString &text) { return !messages().filter(text).isEmpty(); }
    static void clear()
    {
        QMutexLocker locker(&s_mutex);
        s_messages.clear();
    }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        QMutexLocker locker(&s_mutex);
        s_messages << message;
    }

    inline static QMutex s_mutex;
    inline static QStringList s_messages;
    QtMessageHandler m_previous;
};
