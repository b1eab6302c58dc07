#pragma once

#include <QString>
#include <cstdint>
#include <memory>

// The few ppdev calls PpdevParallelPort makes, behind an interface so its register logic can be
// checked without a device. Calls returning int give 0 on success or an errno value.
class PpdevDriver {
public:
    virtual ~PpdevDriver() = default;

    virtual int open(const QString& device, int& fd) = 0;
    // Never waits long: a port held by another program gives EBUSY.
    virtual int claim(int fd) = 0;
    virtual int readData(int fd, uint8_t& value) = 0;
    virtual int writeData(int fd, uint8_t value) = 0;
    virtual void release(int fd) = 0;
    virtual void close(int fd) = 0;
};

// The driver over the Linux ppdev ioctls.
std::unique_ptr<PpdevDriver> makeSystemPpdevDriver();
