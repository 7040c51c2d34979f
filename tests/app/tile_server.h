#pragma once
// A tile server for the widget tests: HTTP/1.1 on 127.0.0.1 only, serving generated PNG tiles
// ("/z/x/y.png", one colour per key) with caching headers and keeping every request.

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "picture/tiles.h"
#include "support/map_tiles.h"

namespace kursolin::test {

/// The colour of a tile the server makes, different for every key the tests use.
inline Rgba colourOf(const TileKey& k) {
  return {static_cast<std::uint8_t>(40 * k.z + 20), static_cast<std::uint8_t>(50 * k.x + 10),
          static_cast<std::uint8_t>(50 * k.y + 10), 255};
}

// An HTTP/1.1 server for "/z/x/y.png" on 127.0.0.1 that answers after a short delay, so that
// requests under way at once can be counted.
class TileServer : public QObject {
 public:
  enum class Mode { Tiles, ServerError, Garbage };
  struct Request {
    QByteArray path;
    QMap<QByteArray, QByteArray> headers;  // names in lower case
  };

  TileServer() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        sockets_.insert(s);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
          sockets_.erase(s);
          s->deleteLater();
        });
      }
    });
    if (!server_.listen(QHostAddress::LocalHost)) qFatal("no port on 127.0.0.1");
    port_ = server_.serverPort();
  }

  ~TileServer() override {
    // The sockets go with server_, after the members their signals would touch.
    for (QTcpSocket* s : sockets_) s->disconnect(this);
  }

  QString urlTemplate() const {
    return QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(port_);
  }
  /// Stops listening and drops every connection: from now on nothing answers.
  void stop() {
    server_.close();
    for (QTcpSocket* s : sockets_) s->abort();
  }

  Mode mode = Mode::Tiles;
  int maxAge = 60;  // seconds, in Cache-Control
  std::vector<Request> requests;
  int mostAtOnce = 0;

 private:
  void read(QTcpSocket* s) {
    QByteArray& buffer = buffers_[s];
    buffer += s->readAll();
    for (int end; (end = buffer.indexOf("\r\n\r\n")) >= 0;) {
      const QList<QByteArray> lines = buffer.left(end).split('\n');
      buffer.remove(0, end + 4);
      Request r;
      r.path = lines.value(0).split(' ').value(1);
      for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines[i].indexOf(':');
        if (colon > 0) {
          r.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
        }
      }
      requests.push_back(r);
      mostAtOnce = std::max(mostAtOnce, ++open_);
      QTimer::singleShot(30, this, [this, s, r] {
        --open_;
        if (sockets_.count(s)) s->write(answer(r));
      });
    }
  }

  QByteArray answer(const Request& r) const {
    const QByteArray validator = "\"" + r.path + "\"";
    if (r.headers.value("if-none-match") == validator) {
      return "HTTP/1.1 304 Not Modified\r\nETag: " + validator +
             "\r\nCache-Control: max-age=" + QByteArray::number(maxAge) +
             "\r\nContent-Length: 0\r\n\r\n";
    }
    QByteArray status = "200 OK", body;
    if (mode == Mode::ServerError) {
      status = "500 Internal Server Error";
      body = "Fehler";
    } else if (mode == Mode::Garbage) {
      body = "<html>kein Bild</html>";
    } else {
      const QList<QByteArray> parts = r.path.mid(1).chopped(4).split('/');
      const TileKey key{parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt()};
      const std::string png = pngBytes(twoToneTile(colourOf(key), colourOf(key)));
      body = QByteArray(png.data(), static_cast<qsizetype>(png.size()));
    }
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: image/png\r\nCache-Control: max-age=" + QByteArray::number(maxAge) +
           "\r\nETag: " + validator + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
  }

  QTcpServer server_;
  quint16 port_ = 0;
  std::set<QTcpSocket*> sockets_;
  std::map<QTcpSocket*, QByteArray> buffers_;
  int open_ = 0;
};

}  // namespace kursolin::test
