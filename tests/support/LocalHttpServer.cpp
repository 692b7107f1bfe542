#include "support/LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace testsupport {

LocalHttpServer::LocalHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
    m_server.listen(QHostAddress::LocalHost);
}

LocalHttpServer::~LocalHttpServer()
{
    // Connections still open (a stalled answer) go before the records they use.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>()) {
        socket->disconnect(this);
        delete socket;
    }
}

QUrl LocalHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LocalHttpServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_open;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --m_open;
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::read(QTcpSocket* socket)
{
    QByteArray& received = m_pending[socket];
    received += socket->readAll();
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QByteArray head = received.left(end);
    received.clear();
    requests.append(head);

    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    const Response response = m_responses.value(path, Response{404, "not here", -1});
    const QByteArray reason = response.status == 200 ? "OK" : response.status == 404 ? "Not Found" : "Error";
    QByteArray answer =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason +
        "\r\nContent-Type: application/octet-stream\r\nContent-Length: " + QByteArray::number(response.body.size()) +
        "\r\nConnection: close\r\n\r\n";
    if (response.stallAfter >= 0) {
        socket->write(answer + response.body.left(response.stallAfter));
        socket->flush();
        return;
    }
    socket->write(answer + response.body);
    socket->disconnectFromHost();
}

} // namespace testsupport
