#pragma once

#include <QUuid>

// The four entry points of an in-process server library. Results are HRESULT-style status codes.
namespace vq::status {
constexpr int Ok = 0;
constexpr int False = 1;
constexpr int Pointer = int(0x80004003u);
constexpr int ClassNotAvailable = int(0x80040111u);
constexpr int RegisterFailed = int(0x80040201u);
} // namespace vq::status

extern "C" {
// Records every class of the library's class table in the registry, naming this library's file.
int DllRegisterServer();
// Removes every entry of this library from the registry.
int DllUnregisterServer();
// Hands out the class object (a vq::ClassFactory *) of a class of the table through *object.
int DllGetClassObject(const QUuid *classId, const QUuid *interfaceId, void **object);
// Ok when no object of the library is alive and no factory holds a lock, else False.
int DllCanUnloadNow();
}

using DllRegisterServerFn = int (*)();
using DllGetClassObjectFn = int (*)(const QUuid *, const QUuid *, void **);
using DllCanUnloadNowFn = int (*)();
