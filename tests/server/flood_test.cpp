#include "server/event_server.h"
#include "server/line_input.h"
#include "server/protocol_client.h"
#include "server/rpc.h"

#include <QJsonArray>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {
QByteArrayList versionGreeting() {
    return {"{\"Event\":\"Version\"}"};
}

QByteArray batchLine(int first, int count) {
    QByteArray line = "[";
    for (int id = first; id < first + count; ++id) {
        if (id > first)
            line += ',';
        line += "{\"method\":\"m\",\"id\":" + QByteArray::number(id) + '}';
    }
    return line + "]\n";
}

QJsonObject errorOf(const QByteArray& text) {
    return QJsonDocument::fromJson(text).object().value("error").toObject();
}

// Counts the passes of the event loop: it runs once in each, as a turn of the server does.
class PassCounter {
public:
    PassCounter() { post(); }
    int passes = 0;

private:
    void post() {
        QTimer::singleShot(0, &context_, [this] {
            ++passes;
            post();
        });
    }
    QObject context_;
};
} // namespace

// An empty batch and one beyond the bound are answered with one error object, not an array.
TEST(RpcBatch, EmptyAndOversizedBatchesGetOneError) {
    const rpc::Line empty = rpc::parseLine("[]");
    const QByteArray emptyAnswer = rpc::lineResponse(empty, {empty.items.at(0).errorResponse});
    EXPECT_TRUE(emptyAnswer.startsWith('{')) << emptyAnswer.toStdString();
    EXPECT_EQ(errorOf(emptyAnswer).value("code").toInt(), -32600);
    EXPECT_TRUE(QJsonDocument::fromJson(emptyAnswer).object().value("id").isNull());

    const rpc::Line tooMany = rpc::parseLine(batchLine(1, rpc::MaxBatch + 1).trimmed());
    ASSERT_EQ(tooMany.items.size(), 1u);
    EXPECT_FALSE(tooMany.items[0].request);
    const QByteArray answer = rpc::lineResponse(tooMany, {tooMany.items[0].errorResponse});
    EXPECT_EQ(errorOf(answer).value("code").toInt(), -32600);
    EXPECT_EQ(errorOf(answer).value("message").toString(), "batch too large");

    const rpc::Line most = rpc::parseLine(batchLine(1, rpc::MaxBatch).trimmed());
    EXPECT_TRUE(most.batch);
    EXPECT_EQ(most.items.size(), static_cast<size_t>(rpc::MaxBatch));
}

// Lines across reads, CR LF, a line too long given out once and its end thrown away as it
// comes, nothing held once all is taken.
TEST(LineInputTest, SplitsBoundsAndReleases) {
    LineInput in(8);
    in.append("ab");
    EXPECT_EQ(in.next().kind, LineInput::Kind::None);
    in.append("c\r\nde\n");
    EXPECT_EQ(in.next().line, "abc");
    EXPECT_EQ(in.next().line, "de");
    EXPECT_EQ(in.next().kind, LineInput::Kind::None);
    EXPECT_EQ(in.held(), 0);

    in.append("0123456789");
    EXPECT_EQ(in.next().kind, LineInput::Kind::TooLong);
    EXPECT_EQ(in.held(), 0);
    in.append(QByteArray(100, 'x'));
    EXPECT_EQ(in.held(), 0);
    in.append("xx\nok\n");
    const LineInput::Next ok = in.next();
    EXPECT_EQ(ok.kind, LineInput::Kind::Line);
    EXPECT_EQ(ok.line, "ok");

    in.append("0123456789\nz\n");
    EXPECT_EQ(in.next().kind, LineInput::Kind::TooLong);
    EXPECT_EQ(in.next().line, "z");
    EXPECT_EQ(in.next().kind, LineInput::Kind::None);
}

// Every element of a batch counts against a turn's requests: two batches of 40 take several
// turns, each answered whole, as one array, in order.
TEST(EventServerFlood, BatchElementsShareTheTurnsBudget) {
    PassCounter counter;
    std::map<int, int> perPass;
    EventServer server(
        [&](const rpc::Request& r) {
            ++perPass[counter.passes];
            return rpc::resultResponse(r.id, 0);
        },
        versionGreeting);
    QString why;
    ASSERT_TRUE(server.listen(0, false, &why)) << why.toStdString();
    ProtocolClient c(server.port());
    c.send(batchLine(0, 40) + batchLine(40, 40));
    ASSERT_TRUE(ProtocolClient::waitFor([&] { return c.raw.size() >= 3; }));
    int handled = 0;
    for (const auto& [pass, requests] : perPass) {
        EXPECT_LE(requests, EventServer::Limits{}.requestsPerTurn) << "pass " << pass;
        handled += requests;
    }
    EXPECT_EQ(handled, 80);
    for (int n = 0; n < 2; ++n) {
        const QJsonArray answers = QJsonDocument::fromJson(c.raw[n + 1]).array();
        ASSERT_EQ(answers.size(), 40);
        EXPECT_EQ(answers.first().toObject().value("id").toInt(), 40 * n);
        EXPECT_EQ(answers.last().toObject().value("id").toInt(), 40 * n + 39);
    }
}

// Clients that flood requests and read no answers: the server stops serving them once their
// answers back up, holds no more input than the bounds, and stops reading, so the senders
// wait; once they read, every request is answered.
TEST(EventServerFlood, InputIsBoundedAndTheSendersWait) {
    EventServer::Limits limits;
    limits.clientInput = 32 * 1024;
    limits.totalInput = 48 * 1024;
    limits.socketBuffer = 16 * 1024;
    limits.replyBacklog = 8 * 1024;
    const QByteArray pad(2000, 'p');
    EventServer server([&](const rpc::Request& r) { return rpc::resultResponse(r.id, pad.data()); },
                       versionGreeting, limits);
    QString why;
    ASSERT_TRUE(server.listen(0, false, &why)) << why.toStdString();
    constexpr int kClients = 3, kRequests = 4000;
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    std::vector<int> answered(kClients, 0);
    const QByteArray request =
        "{\"method\":\"m\",\"params\":[\"" + QByteArray(160, 'q') + "\"],\"id\":1}\n";
    for (int n = 0; n < kClients; ++n) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->setReadBufferSize(1);
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        socket->connectToHost("127.0.0.1", server.port());
        ASSERT_TRUE(socket->waitForConnected(5000));
        socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 8192);
        for (int r = 0; r < kRequests; ++r)
            socket->write(request);
        clients.push_back(std::move(socket));
    }
    qint64 most = 0;
    const auto held = [&] {
        most = std::max(most, server.heldInput());
        return server.heldInput();
    };
    EXPECT_TRUE(ProtocolClient::waitFor([&] { return held() == limits.totalInput; }));
    ProtocolClient::waitFor([&] { return held() < 0; }, 200);
    EXPECT_LE(most, limits.totalInput);
    EXPECT_EQ(server.clientCount(), kClients);
    qint64 unsent = 0;
    for (const auto& socket : clients)
        unsent += socket->bytesToWrite();
    EXPECT_GT(unsent, 0);

    for (int n = 0; n < kClients; ++n) {
        QTcpSocket* socket = clients[n].get();
        socket->setReadBufferSize(0);
        QObject::connect(socket, &QTcpSocket::readyRead, [socket, &answered, n] {
            while (socket->canReadLine())
                answered[n] += socket->readLine().contains("\"result\"") ? 1 : 0;
        });
    }
    EXPECT_TRUE(ProtocolClient::waitFor(
        [&] {
            held();
            return std::count(answered.begin(), answered.end(), kRequests) == kClients;
        },
        60000));
    EXPECT_LE(most, limits.totalInput);
    EXPECT_EQ(server.heldInput(), 0);
}

// At the limit a newcomer takes the place of the client heard from longest ago.
TEST(EventServerFlood, ANewcomerIsAdmittedAtTheLimit) {
    EventServer::Limits limits;
    limits.maxClients = 3;
    EventServer server([](const rpc::Request& r) { return rpc::resultResponse(r.id, 0); },
                       versionGreeting, limits);
    QString why;
    ASSERT_TRUE(server.listen(0, false, &why)) << why.toStdString();
    std::vector<std::unique_ptr<ProtocolClient>> clients;
    for (int n = 0; n < 3; ++n) {
        clients.push_back(std::make_unique<ProtocolClient>(server.port()));
        ASSERT_GE(clients.back()->event("Version"), 0);
    }
    // The first is idle; the others talk, the second last.
    EXPECT_EQ(clients[2]->call("m").value("result").toInt(-1), 0);
    EXPECT_EQ(clients[1]->call("m").value("result").toInt(-1), 0);
    ProtocolClient newcomer(server.port());
    ASSERT_GE(newcomer.event("Version"), 0);
    EXPECT_EQ(newcomer.call("m").value("result").toInt(-1), 0);
    EXPECT_TRUE(ProtocolClient::waitFor(
        [&] { return clients[0]->socket.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(server.clientCount(), 3);
    EXPECT_EQ(clients[1]->call("m").value("result").toInt(-1), 0);
    EXPECT_EQ(clients[2]->call("m").value("result").toInt(-1), 0);
}
