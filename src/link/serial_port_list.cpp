#include "link/serial_port_list.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#endif

namespace tvx {

std::vector<std::string> available_serial_devices(const std::string& by_id_folder) {
    std::vector<std::string> found;
#ifdef _WIN32
    // Windows names its ports COM1, COM2...: the names the operator knows and the port opens by.
    (void)by_id_folder;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) found.push_back(info.portName().toStdString());
    std::sort(found.begin(), found.end());
    return found;
#endif
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(by_id_folder, error)) {
        found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string path = info.systemLocation().toStdString();
        if (std::find(found.begin(), found.end(), path) == found.end()) found.push_back(path);
    }
    return found;
}

std::string serial_device_identity(const std::string& device) {
    std::error_code error;
    // A stable name (/dev/serial/by-id/...) leads to the node the system lists.
    const std::filesystem::path node = std::filesystem::canonical(device, error);
    const QString location = QString::fromStdString(error ? device : node.string());
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() != location) continue;
        if (!info.hasVendorIdentifier() && !info.hasProductIdentifier() && info.serialNumber().isEmpty())
            return {};
        return QString::number(info.vendorIdentifier(), 16).toStdString() + ":" +
               QString::number(info.productIdentifier(), 16).toStdString() + ":" +
               info.serialNumber().toStdString();
    }
    return {};
}

std::string serial_permission_hint(const std::string& device) {
#ifdef _WIN32
    (void)device;
    return {};
#else
    std::string group = "dialout";
    struct stat info {};
    if (::stat(device.c_str(), &info) == 0) {
        if (const struct group* owner = ::getgrgid(info.st_gid); owner && owner->gr_name)
            group = owner->gr_name;
    }
    return "このポートを開く権限がありません。\nデバイスのグループ " + group +
           " に加わり、ログインし直してください:\nsudo usermod -aG " + group + " $USER";
#endif
}

}  // namespace tvx
