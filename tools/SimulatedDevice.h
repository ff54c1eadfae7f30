#pragma once
// One simulated sensor device: random walks for temperature and humidity, alarm codes from
// fixed limits, and a behaviour that makes every state of the live views appear somewhere.
#include <cstdint>
#include <random>
#include <string>

enum class DeviceBehaviour {
  Normal,         // random walk, alarms when the walk crosses a limit
  SensorOffline,  // temperature and humidity code 3
  NoHumidity,     // humidity code 4 ("--")
  Silent,         // reports once, then stops (shows "通讯掉线" after the time-out)
  Battery,        // runs on battery
  UnknownPower,   // power code the station does not know
};

struct SimReading {
  double temperature, humidity, internalTemperature, voltage, current;
  int temperatureAlarm, humidityAlarm, power;
};

class SimulatedDevice {
 public:
  static constexpr double kTemperatureHigh = 30.0, kTemperatureLow = 2.0;
  static constexpr double kHumidityHigh = 80.0, kHumidityLow = 20.0;

  SimulatedDevice(std::string id, std::string company, std::string department, DeviceBehaviour behaviour,
                  std::uint32_t seed);

  // Advances the walk by one step and returns the reading.
  SimReading Step();

  const std::string& id() const { return id_; }
  const std::string& company() const { return company_; }
  const std::string& department() const { return department_; }
  DeviceBehaviour behaviour() const { return behaviour_; }

 private:
  double Walk(double value, double step, double low, double high);

  std::string id_, company_, department_;
  DeviceBehaviour behaviour_;
  std::mt19937 random_;
  double temperature_, humidity_, internal_;
};

// The behaviour of the n-th device, so a demo of thirty devices shows every state.
DeviceBehaviour BehaviourForIndex(int index);

// Alarm code for a value against its limits: 1 above, 2 below, 0 within.
int AlarmCode(double value, double low, double high);
