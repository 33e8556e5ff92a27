#pragma once
// What a connection asks of the commands and data sets that work through it.
namespace data {

class ConnectionClient {
public:
    // The connection is closing or going away: data sets close, commands drop their link.
    virtual void connectionClosing() = 0;
    // A statement is about to change the tables: results still being read must be read to
    // the end first, since a change may move the rows they are reading.
    virtual void finishReading() = 0;
    // The connection object is being destroyed: forget it.
    virtual void connectionDestroyed() = 0;

protected:
    ConnectionClient() = default;
    ~ConnectionClient() = default;
    ConnectionClient(const ConnectionClient&) = default;
    ConnectionClient& operator=(const ConnectionClient&) = default;
};

} // namespace data
