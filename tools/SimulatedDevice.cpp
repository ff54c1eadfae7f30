#include "SimulatedDevice.h"

#include <algorithm>

namespace {

// Bands by the lowest temperature they hold; limits as the demo data's devices have them.
struct BandRule {
  double from;
  ClimateBand band;
};
constexpr BandRule kBands[] = {
    {-1000.0, {-86.0, -70.0, 35.0, 75.0}},  // ultra-low freezer
    {-50.0, {-25.0, -15.0, 40.0, 95.0}},    // freezer
    {-10.0, {2.0, 8.0, 35.0, 75.0}},        // cold room
    {10.0, {10.0, 30.0, 35.0, 75.0}},       // store room, workshop
};
constexpr double kStray = 3.0;  // how far past a limit the walk may go, °C
constexpr double kTemperatureStep = 0.15, kHumidityStep = 0.6, kOutside = 1.0;
constexpr double kHumidStore = 80.0;  // % relative humidity a store starts at to count as humid

}  // namespace

ClimateBand BandForTemperature(double celsius) {
  ClimateBand band = kBands[0].band;
  for (const BandRule& rule : kBands)
    if (celsius >= rule.from) band = rule.band;
  return band;
}

SimulatedDevice::SimulatedDevice(std::string id, std::string company, std::string department, DeviceBehaviour behaviour,
                                 std::uint32_t seed, SimStart start)
    : id_(std::move(id)),
      company_(std::move(company)),
      department_(std::move(department)),
      behaviour_(behaviour),
      random_(seed) {
  // Without a reading to continue from, a cold room.
  std::uniform_real_distribution<double> t(3.0, 7.0), h(45.0, 65.0);
  temperature_ = start.temperature.value_or(t(random_));
  humidity_ = start.humidity.value_or(h(random_));
  band_ = BandForTemperature(temperature_);
  // Fruit, meat and dairy stores keep the air humid: their limits sit higher.
  if (humidity_ >= kHumidStore) band_.humidityLow = 75.0, band_.humidityHigh = 95.0;
}

void SimulatedDevice::StartOutsideLimit(int which) {
  switch (which) {
    case 1: temperature_ = band_.temperatureHigh + kOutside; break;
    case 2: temperature_ = band_.temperatureLow - kOutside; break;
    case 3: humidity_ = band_.humidityHigh + 3 * kOutside; break;
    case 4: humidity_ = band_.humidityLow - 3 * kOutside; break;
    default: break;
  }
}

double SimulatedDevice::Walk(double value, double step, double low, double high) {
  std::normal_distribution<double> delta(0.0, step);
  return std::clamp(value + delta(random_), low, high);
}

int AlarmCode(double value, double low, double high) {
  if (value > high) return 1;
  if (value < low) return 2;
  return 0;
}

SimReading SimulatedDevice::Step() {
  temperature_ = Walk(temperature_, kTemperatureStep, band_.temperatureLow - kStray, band_.temperatureHigh + kStray);
  humidity_ =
      Walk(humidity_, kHumidityStep, std::max(0.0, band_.humidityLow - 15), std::min(100.0, band_.humidityHigh + 15));
  std::uniform_real_distribution<double> noise(-1.0, 1.0);

  SimReading r{};
  r.temperature = temperature_;
  r.humidity = humidity_;
  r.internalTemperature = temperature_ + 2.5 + 0.3 * noise(random_);
  r.temperatureAlarm = AlarmCode(temperature_, band_.temperatureLow, band_.temperatureHigh);
  r.humidityAlarm = AlarmCode(humidity_, band_.humidityLow, band_.humidityHigh);
  r.power = 1;
  r.voltage = kMainsVolts + 0.2 * noise(random_);
  r.current = 35.0 + 2.0 * noise(random_);
  switch (behaviour_) {
    case DeviceBehaviour::SensorOffline:
      r.temperatureAlarm = r.humidityAlarm = 3;
      r.temperature = r.humidity = 0;
      break;
    case DeviceBehaviour::NoHumidity:
      r.humidityAlarm = 4;
      r.humidity = 0;
      break;
    case DeviceBehaviour::Battery:
      r.power = 0;
      r.voltage = kBatteryVolts + 0.2 * noise(random_);
      r.current = 8.5 + noise(random_);
      break;
    case DeviceBehaviour::UnknownPower:
      r.power = 2;
      r.voltage = kAdaptorVolts + 0.2 * noise(random_);
      r.current = 60.0 + 3.0 * noise(random_);
      break;
    case DeviceBehaviour::Normal:
    case DeviceBehaviour::Silent: break;
  }
  return r;
}

DeviceBehaviour BehaviourForIndex(int index) {
  switch (index % 10) {
    case 3: return DeviceBehaviour::Battery;
    case 5: return index % 20 == 5 ? DeviceBehaviour::SensorOffline : DeviceBehaviour::NoHumidity;
    case 7: return DeviceBehaviour::Battery;
    case 8: return index % 20 == 8 ? DeviceBehaviour::Silent : DeviceBehaviour::UnknownPower;
    default: return DeviceBehaviour::Normal;
  }
}

int ForcedAlarmForIndex(int index) {
  switch (index) {
    case 1: return 1;
    case 2: return 2;
    case 4: return 3;
    case 6: return 4;
    default: return 0;
  }
}
