#include "server/event_server.h"
#include "server/server_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTcpServer>

// A burst of 1,000 requests in one write: every one answered once, in order.
TEST_F(ServerTest, ABurstIsAnsweredInOrderAndTheCyclesGoOn) {
    ProtocolClient c(port);
    connectAndLoop(c);
    QByteArray burst;
    for (int id = 1000; id < 2000; ++id)
        burst += "{\"method\":\"get_app_state\",\"id\":" + QByteArray::number(id) + "}\n";
    c.send(burst);
    cycle(); // a guide cycle in the middle of the burst
    std::vector<int> ids;
    ProtocolClient::waitFor([&] {
        ids.clear();
        for (const QJsonObject& o : c.lines)
            if (o.value("id").toInt() >= 1000)
                ids.push_back(o.value("id").toInt());
        return ids.size() >= 1000;
    });
    ASSERT_EQ(ids.size(), 1000u);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    EXPECT_EQ(ids.back(), 1999);
    EXPECT_GE(c.names().count("LoopingExposures"), 2);
}

// 50 clients at once, and clients that leave in the middle of their answers.
TEST_F(ServerTest, FiftyClientsAndClientsThatLeaveMidReply) {
    std::vector<std::unique_ptr<ProtocolClient>> clients;
    for (int i = 0; i < 50; ++i)
        clients.push_back(std::make_unique<ProtocolClient>(port));
    for (auto& c : clients)
        ASSERT_GE(c->event("AppState"), 0);
    EXPECT_EQ(window->server()->events().clientCount(), 50);
    QStringList texts;
    for (const QLabel* label : window->statusBar()->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("Server: 50 clients")) << texts.join('|').toStdString();
    for (auto& c : clients)
        c->request("get_current_equipment");
    for (auto& c : clients)
        EXPECT_TRUE(c->response(1).contains("result"));
    for (int i = 0; i < 10; ++i) {
        ProtocolClient leaving(port);
        for (int n = 0; n < 200; ++n)
            leaving.request("get_exposure_durations");
        ASSERT_TRUE(leaving.socket.waitForBytesWritten(1000));
        leaving.socket.abort();
    }
    clients.resize(1);
    EXPECT_EQ(clients[0]->call("get_app_state").value("result").toString(), "Stopped");
    EXPECT_TRUE(
        ProtocolClient::waitFor([&] { return window->server()->events().clientCount() == 1; }));
}

// A client that never reads is dropped once its unsent output passes the bound; the others
// keep getting every event.
TEST(EventServerTest, AClientThatNeverReadsIsDropped) {
    EventServer::Limits limits;
    limits.maxQueued = 64 * 1024;
    EventServer server([](const rpc::Request&) { return QByteArray(); },
                       [] { return QByteArrayList{"{\"Event\":\"Version\"}"}; }, limits);
    QString why;
    ASSERT_TRUE(server.listen(0, false, &why)) << why.toStdString();
    QTcpSocket sleeper;
    sleeper.setReadBufferSize(1);
    sleeper.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    sleeper.connectToHost("127.0.0.1", server.port());
    ProtocolClient reader(server.port());
    ASSERT_TRUE(ProtocolClient::waitFor([&] { return server.clientCount() == 2; }));
    const QByteArray event = "{\"Event\":\"GuideStep\",\"pad\":\"" + QByteArray(2000, 'p') + "\"}";
    for (int n = 0; n < 20000 && server.clientCount() == 2; ++n) {
        server.broadcast(event);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(server.clientCount(), 1);
    const qsizetype seen = reader.lines.size();
    server.broadcast("{\"Event\":\"SettleDone\"}");
    EXPECT_TRUE(ProtocolClient::waitFor(
        [&] { return reader.lines.back().value("Event").toString() == "SettleDone"; }));
    EXPECT_GT(reader.lines.size(), static_cast<size_t>(seen));
}

// Another guider on the port: a lasting note, the window runs on without a server.
TEST(ServerStartTest, APortInUseIsALastingCondition) {
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::LocalHost, 0));
    SimRig rig;
    rig.fp.store.set("Server Options", "Enabled", "1");
    rig.fp.store.set("Server Options", "Port", QString::number(other.serverPort()));
    frmMain w(rig.platform());
    EXPECT_TRUE(w.hasCondition("server"));
    EXPECT_FALSE(w.server()->events().isListening());
    w.cmdPreview->click();
    EXPECT_TRUE(w.state.previewing);
}
