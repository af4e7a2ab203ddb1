#pragma once

#include <QString>

// The device of port number `numero`. On Windows "\\.\COMn". Elsewhere the environment variable
// JENWAY_COM<n> names the device when it is set (the simulator is reached this way); otherwise:
//   COM1  to COM10  -> /dev/ttyS0   to /dev/ttyS9    (serial ports of the machine)
//   COM11 to COM30  -> /dev/ttyUSB0 to /dev/ttyUSB19 (USB-serial adapters)
//   COM31 to COM50  -> /dev/ttyACM0 to /dev/ttyACM19 (USB modem-class devices)
// and beyond 50, /dev/ttyS<n-41> so that every number still names some device.
QString NomPeripheriqueCom(int numero);

// True when port `numero` exists, even when another program holds it.
bool PortComPresent(int numero);

// A pseudo-terminal has no line settings: Linux ignores its baud rate and, once it is open,
// refuses a change of its data bits or parity.
bool EstPseudoTerminal(const QString& peripherique);
