#pragma once
// One simulated sensor device: small random walks for temperature and humidity inside the
// band of its kind of room, alarm codes from that band's limits, supply voltages as the demo
// data has them, and a behaviour that makes every state of the live views appear somewhere.
#include <cstdint>
#include <optional>
#include <random>
#include <string>

enum class DeviceBehaviour {
  Normal,         // random walk, alarms when the walk crosses a limit
  SensorOffline,  // temperature and humidity code 3
  NoHumidity,     // humidity code 4 ("--")
  Silent,         // reports once, then stops (shows "通讯掉线" after the time-out)
  Battery,        // runs on battery
  UnknownPower,   // power code the station does not know (an adaptor)
};

struct SimReading {
  double temperature, humidity, internalTemperature, voltage, current;
  int temperatureAlarm, humidityAlarm, power;
};

// Alarm limits of a kind of room, as the demo data sets them.
struct ClimateBand {
  double temperatureLow, temperatureHigh, humidityLow, humidityHigh;
};
// The band a temperature belongs to: ultra-low freezer, freezer, cold room (2-8 °C) or room.
ClimateBand BandForTemperature(double celsius);

// Where a device's walk starts: its latest reading, when it had valid values.
struct SimStart {
  std::optional<double> temperature, humidity;
};

class SimulatedDevice {
 public:
  static constexpr double kMainsVolts = 12.0, kBatteryVolts = 3.5, kAdaptorVolts = 12.0;

  SimulatedDevice(std::string id, std::string company, std::string department, DeviceBehaviour behaviour,
                  std::uint32_t seed, SimStart start = {});

  // Moves the first reading past a limit (1 temperature ↑, 2 ↓, 3 humidity ↑, 4 ↓), so alarms
  // show as soon as the simulator starts; the walk brings it back within minutes.
  void StartOutsideLimit(int which);

  // Advances the walk by one step and returns the reading.
  SimReading Step();

  const std::string& id() const { return id_; }
  const std::string& company() const { return company_; }
  const std::string& department() const { return department_; }
  DeviceBehaviour behaviour() const { return behaviour_; }
  const ClimateBand& band() const { return band_; }

 private:
  double Walk(double value, double step, double low, double high);

  std::string id_, company_, department_;
  DeviceBehaviour behaviour_;
  std::mt19937 random_;
  double temperature_, humidity_;
  ClimateBand band_;
};

// The behaviour of the n-th device, so a demo of thirty devices shows every state.
DeviceBehaviour BehaviourForIndex(int index);
// Which limit the n-th device starts beyond (see StartOutsideLimit); 0 none.
int ForcedAlarmForIndex(int index);

// Alarm code for a value against its limits: 1 above, 2 below, 0 within.
int AlarmCode(double value, double low, double high);
