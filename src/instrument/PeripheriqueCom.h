#pragma once

#include <QList>
#include <QString>

#include <functional>

// The device of port number `numero`. On Windows "\\.\COMn". Elsewhere the environment variable
// JENWAY_COM<n> names the device when it is set (the simulator is reached this way); otherwise:
//   COM1  to COM10  -> /dev/ttyS0   to /dev/ttyS9    (serial ports of the machine)
//   COM11 to COM30  -> /dev/ttyUSB0 to /dev/ttyUSB19 (USB-serial adapters)
//   COM31 to COM50  -> /dev/ttyACM0 to /dev/ttyACM19 (USB modem-class devices)
// and beyond 50, /dev/ttyS<n-41> so that every number still names some device.
QString NomPeripheriqueCom(int numero);

// The port number whose device is `peripherique` (the reverse of NomPeripheriqueCom), 0 when no
// number names it: the settings keep a port as a number.
int NumeroPortCom(const QString& peripherique);

// True when port `numero` exists, even when another program holds it.
bool PortComPresent(int numero);

// A serial device of the system, with what it says of itself (empty when it says nothing).
struct TPortSerie {
    QString Peripherique; // "/dev/ttyUSB0", "\\.\COM5"
    QString Description;  // "FT232R USB UART"
    QString Fabricant;    // "FTDI"
    bool operator==(const TPortSerie&) const = default;
};

// How the serial devices are found: the system's list in the program, a set of devices in tests.
using TEnumerationPorts = std::function<QList<TPortSerie>()>;

// The serial devices the system lists, and those the JENWAY_COM<n> variables name (the system
// does not list pseudo-terminals).
QList<TPortSerie> PortsDuSysteme();

// A pseudo-terminal has no line settings: Linux ignores its baud rate and, once it is open,
// refuses a change of its data bits or parity.
bool EstPseudoTerminal(const QString& peripherique);
