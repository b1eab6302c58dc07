// How long a guide pulse call to an Alpaca device blocks the guider when the device answers at
// once: a loopback HTTP server that acknowledges every pulse without waiting for it to end.

#include "bench_util.h"
#include "platform/telescope/alpaca_telescope.h"

#include <QCoreApplication>
#include <httplib.h>
#include <thread>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    httplib::Server server;
    server.Put(R"(/api/v1/telescope/0/(connected|pulseguide))", [](const httplib::Request& request,
                                                                   httplib::Response& response) {
        response.set_content(R"({"ErrorNumber":0,"ErrorMessage":"","ClientTransactionID":)" +
                                 request.get_param_value("ClientTransactionID") +
                                 R"(,"ServerTransactionID":1})",
                             "application/json");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread listening([&] { server.listen_after_bind(); });

    AlpacaTelescope telescope({"127.0.0.1", port, 0});
    telescope.setConnected(true);
    timeHeader();
    int direction = 0;
    timeRow("Alpaca PulseGuide, 500 ms pulse, loopback", 500,
            [&] { telescope.PulseGuide(direction++ % 4, 500); });
    server.stop();
    listening.join();
    return 0;
}
