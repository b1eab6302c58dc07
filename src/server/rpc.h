#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QJsonValue>
#include <QString>
#include <optional>
#include <vector>

// JSON-RPC 2.0 as the imaging programs speak it: one request (or a batch array of them) per
// line, answered by one response line; a request without an id is run but not answered.
namespace rpc {

inline constexpr int ParseError = -32700;
inline constexpr int InvalidRequest = -32600;
inline constexpr int MethodNotFound = -32601;
inline constexpr int InvalidParams = -32602;
inline constexpr int InternalError = -32603; // also: a line too long
// Application errors.
inline constexpr int Failed = 1;
inline constexpr int NoStar = 2;

// The most requests one batch line may hold; a longer batch is answered with one -32600 error.
inline constexpr int MaxBatch = 64;

struct Error {
    int code = Failed;
    QString message;
};

// The outcome of a method: a result value, or an error.
struct Reply {
    QJsonValue result = 0;
    std::optional<Error> error;
};
inline Reply ok(const QJsonValue& result = 0) {
    return {result, std::nullopt};
}
inline Reply fail(int code, const QString& message) {
    return {QJsonValue(), Error{code, message}};
}

struct Request {
    QString method;
    QJsonValue params;  // array, object or undefined (no params)
    QJsonValue id;      // echoed as sent, in the JSON type it came in
    bool hasId = false; // without one no response goes out
};

// One element of a line: a well-formed request, or the error response it earned.
struct Item {
    std::optional<Request> request;
    QByteArray errorResponse;
};

struct Line {
    std::vector<Item> items;
    bool batch = false; // the responses go out as one array
};

// Splits one line (without its line end) into requests. Invalid JSON gives one -32700 item;
// an element that is no request (no string method, params neither array nor object) gives a
// -32600 item; an empty batch, or one of more than MaxBatch elements, gives one -32600 item
// answered on its own, not in an array. A "jsonrpc" member is not required and not checked.
Line parseLine(const QByteArray& line);

// The answer to a whole line from the responses of its items, in order: nothing, the one
// response, or for a batch an array of them.
QByteArray lineResponse(const Line& line, const QByteArrayList& responses);

// Response texts, without a line end, members in the order jsonrpc, result/error, id.
QByteArray resultResponse(const QJsonValue& id, const QJsonValue& result);
QByteArray errorResponse(const QJsonValue& id, int code, const QString& message);

// A parameter given by position (index into an array) or by name (key of an object);
// undefined when absent.
QJsonValue param(const QJsonValue& params, int index, const char* name);

} // namespace rpc
