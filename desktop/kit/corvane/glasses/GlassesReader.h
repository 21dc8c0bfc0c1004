#pragma once

#include <corvane/glasses/GlassesNetwork.h>

#include <QString>

#include <optional>
#include <variant>

namespace corvane {

namespace GlassesApp {
// The glasses app's Android package.
inline constexpr QStringView packageName = u"com.corvane.app";
} // namespace GlassesApp

// A device adb lists as usable: its serial and, when adb says them, its model and product.
struct ConnectedDevice {
    QString serial;
    std::optional<QString> model;
    std::optional<QString> product;

    // Known by their model and product names; a phone or a tablet is not the glasses.
    bool looksLikeGlasses() const;
    bool operator==(const ConnectedDevice&) const = default;
};

// The state of the USB link to a device.
struct GlassesLink {
    struct Ready {
        ConnectedDevice device;
        bool operator==(const Ready&) const = default;
    };
    struct NotPlugged {
        bool operator==(const NotPlugged&) const = default;
    };
    // Attached, but it has not trusted this computer yet.
    struct AwaitingApproval {
        bool operator==(const AwaitingApproval&) const = default;
    };
    // Attached but offline.
    struct NotResponding {
        bool operator==(const NotResponding&) const = default;
    };
    // Attached, but this computer's USB rules do not let this user open it (adb: "no permissions").
    struct NoPermission {
        bool operator==(const NoPermission&) const = default;
    };

    std::variant<NotPlugged, Ready, AwaitingApproval, NotResponding, NoPermission> value = NotPlugged{};
    bool operator==(const GlassesLink&) const = default;
};

// The glasses app as installed on the device, with the package that installed it.
struct InstalledGlassesApp {
    std::optional<QString> owner;

    // Installed under its own name as installer, it may install its own updates without asking.
    bool updatesSilently() const { return owner == GlassesApp::packageName; }
    bool operator==(const InstalledGlassesApp&) const = default;
};

// Whether the glasses are on Wi-Fi, and where.
struct GlassesWifi {
    struct On {
        GlassesNetwork network;
        bool operator==(const On&) const = default;
    };
    // IPv4 interfaces were listed, none of them usable on Wi-Fi.
    struct Off {
        bool operator==(const Off&) const = default;
    };
    // Nothing could be read.
    struct Unknown {
        bool operator==(const Unknown&) const = default;
    };

    std::variant<Unknown, On, Off> value = Unknown{};
    std::optional<GlassesNetwork> network() const;
    bool operator==(const GlassesWifi&) const = default;
};

// What adb prints about the glasses, read into values. Every reader takes any text, whole, truncated
// or garbage, and never fails: what it cannot read is simply not there.
namespace GlassesReader {

// `adb devices -l`
GlassesLink link(QStringView devices);
// `adb shell pm list packages -i com.corvane.app`; nothing when the app is not installed.
std::optional<InstalledGlassesApp> installed(QStringView packages);
// `adb shell dumpsys package com.corvane.app`
std::optional<QString> version(QStringView dumpsys);
std::optional<qint64> versionCode(QStringView dumpsys);
// `adb shell ip -4 -o addr show`
GlassesWifi wifi(QStringView addresses);
// The answer to `pm install-create`, which ends with the session's number in square brackets.
std::optional<QString> sessionId(QStringView installCreate);
// The answer to `pm install-commit`.
bool commitSucceeded(QStringView output);

} // namespace GlassesReader

} // namespace corvane
