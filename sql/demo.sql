-- Demo data for the monitoring station: companies, departments, users and grants,
-- devices, the current reading of every device and the readings of the last days.
--
-- The file is UTF-8. Load it into a database made from schema.sql with the client
-- talking utf8mb4; the server converts the texts to the tables' gbk:
--   scripts/db sql --default-character-set=utf8mb4 CorvaneDB < sql/demo.sql
-- scripts/demo does this when it creates the database.
--
-- Readings are generated here, relative to the time of loading: one every 10 minutes
-- per device from midnight three days ago up to now, the newest one also being the
-- device's row in monitordat_tab. To add a device, add a line to the device block below.

INSERT INTO company_tab (company_num, company_name) VALUES
  ('0001', '华东医药物流中心'),
  ('0002', '北方冷链仓储有限公司'),
  ('0003', '南城食品有限公司'),
  ('0004', '西岭生物技术研究所');

INSERT INTO department_tab (department_num, company_num, department_name) VALUES
  ('01', '0001', '冷藏库区'),
  ('02', '0001', '常温药品库'),
  ('03', '0001', '质检实验室'),
  ('01', '0002', '冷冻库'),
  ('02', '0002', '冷藏库'),
  ('01', '0003', '原料仓库'),
  ('02', '0003', '成品仓库'),
  ('03', '0003', '生产车间'),
  ('01', '0004', '样本库'),
  ('02', '0004', '细胞实验室');

-- user_permission: 1 administrator, 2 normal user. user3 has no grants and sees nothing.
INSERT INTO user_tab (user_name, user_passwd, user_permission) VALUES
  ('admin', 'admin', 1),
  ('user1', 'user1', 2),
  ('user2', 'user2', 2),
  ('user3', 'user3', 2);

INSERT INTO permission_tab (user_name, company_num, department_num) VALUES
  ('user1', '0001', '01'),
  ('user1', '0001', '02'),
  ('user1', '0001', '03'),
  ('user2', '0002', '01'),
  ('user2', '0003', '02'),
  ('user2', '0004', '01');

-- The devices, one line each, with what the reading generator needs:
--   tempe, swing          mean temperature and half its daily swing (peak at 15:00)
--   t_low, t_high         limits: outside them the temperature code is 2 (below) or 1 (above)
--   hum, hswing, h_low, h_high   the same for humidity (lowest at 15:00)
--   power                 0 battery, 1 mains, 2 an adaptor the collector does not know
--   mode                  ''        plain readings
--                         'nohum'   no humidity sensor: hum_alarm 4 (no value)
--                         'offline' sensor offline (codes 3) for the last 3 hours and
--                                   for 3 hours yesterday afternoon
--                         'outage'  mains fails from 01:00 to 04:59 every night (battery)
--                         'stale'   stopped reporting 24 hours ago
--   registered            0: the device is missing from device_tab, so its readings are
--                         never shown. Device TH00090101 is registered but its company is
--                         not, which hides it as well.
CREATE TEMPORARY TABLE demo_device (
  device_num CHAR(10) NOT NULL PRIMARY KEY,
  device_name VARCHAR(64) NOT NULL,
  company_num CHAR(4) NOT NULL,
  department_num CHAR(2) NOT NULL,
  tempe DECIMAL(6,1) NOT NULL,
  swing DECIMAL(6,1) NOT NULL,
  t_low DECIMAL(6,1) NOT NULL,
  t_high DECIMAL(6,1) NOT NULL,
  hum DECIMAL(6,1) NOT NULL,
  hswing DECIMAL(6,1) NOT NULL,
  h_low DECIMAL(6,1) NOT NULL,
  h_high DECIMAL(6,1) NOT NULL,
  power INT NOT NULL,
  mode VARCHAR(8) NOT NULL,
  registered INT NOT NULL
) DEFAULT CHARSET=utf8mb4;

INSERT INTO demo_device VALUES
-- device_num    device_name       company dept tempe swing t_low t_high  hum hswing h_low h_high power mode  registered
  ('TH00010101', '一号冷库',         '0001', '01',   5.0,  1.5,   2.0,   8.0, 55.0,  8.0, 35.0, 75.0, 1, '',        1),
  ('TH00010102', '二号冷库',         '0001', '01',   5.0,  3.2,   2.0,   8.0, 60.0, 10.0, 35.0, 75.0, 1, '',        1),
  ('TH00010103', '三号冷库',         '0001', '01',   9.5,  0.8,   2.0,   8.0, 62.0,  6.0, 35.0, 75.0, 1, '',        1),
  ('TH00010104', '疫苗冷柜A',        '0001', '01',   4.0,  0.5,   2.0,   8.0,  0.0,  0.0,  0.0,  0.0, 1, 'nohum',   1),
  ('TH00010105', '疫苗冷柜B',        '0001', '01',   1.2,  0.4,   2.0,   8.0,  0.0,  0.0,  0.0,  0.0, 1, 'nohum',   1),
  ('TH00010201', '药品仓A区',        '0001', '02',  22.0,  3.0,  10.0,  30.0, 50.0, 10.0, 35.0, 75.0, 1, '',        1),
  ('TH00010202', '药品仓B区',        '0001', '02',  23.0,  3.0,  10.0,  30.0, 58.0, 12.0, 35.0, 75.0, 1, 'outage',  1),
  ('TH00010203', '药品仓C区',        '0001', '02',  21.0,  2.5,  10.0,  30.0, 78.0,  6.0, 35.0, 75.0, 1, '',        1),
  ('TH00010204', '阴凉库',           '0001', '02',  17.0,  2.0,   2.0,  20.0, 55.0,  8.0, 35.0, 75.0, 1, '',        1),
  ('TH00010301', '留样室',           '0001', '03',  20.0,  1.0,  15.0,  25.0, 45.0,  5.0, 35.0, 65.0, 1, '',        1),
  ('TH00010302', '稳定性试验箱',     '0001', '03',  25.0,  0.5,  23.0,  27.0, 67.0,  1.0, 55.0, 65.0, 1, '',        1),
  ('TH00010303', '天平室',           '0001', '03',  21.0,  1.5,  18.0,  24.0, 30.0,  4.0, 35.0, 60.0, 0, '',        1),
  ('TH00020101', '一号冷冻库',       '0002', '01', -18.0,  1.5, -25.0, -15.0, 70.0, 10.0, 40.0, 95.0, 1, '',        1),
  ('TH00020102', '二号冷冻库',       '0002', '01', -20.0,  2.0, -25.0, -15.0, 72.0,  8.0, 40.0, 95.0, 1, 'offline', 1),
  ('TH00020103', '速冻隧道',         '0002', '01', -30.0,  3.5, -35.0, -25.0, 65.0,  8.0, 40.0, 95.0, 2, '',        1),
  ('TH00020104', '冰淇淋库',         '0002', '01', -22.0,  1.0, -28.0, -18.0, 68.0,  6.0, 40.0, 95.0, 1, 'stale',   1),
  ('TH00020201', '果蔬保鲜库',       '0002', '02',   3.0,  1.5,   0.0,   8.0, 88.0,  5.0, 80.0, 95.0, 1, '',        1),
  ('TH00020202', '鲜肉冷藏库',       '0002', '02',   1.0,  1.5,  -1.0,   4.0, 85.0,  5.0, 75.0, 95.0, 1, '',        1),
  ('TH00020203', '乳品冷藏库',       '0002', '02',   4.0,  1.0,   2.0,   6.0, 80.0,  5.0, 70.0, 90.0, 0, '',        1),
  ('TH00020204', '装卸月台',         '0002', '02',  12.0,  6.0,   0.0,  25.0, 65.0, 15.0, 30.0, 90.0, 1, '',        1),
  ('TH00030101', '面粉仓',           '0003', '01',  20.0,  4.0,   5.0,  30.0, 50.0, 10.0, 30.0, 65.0, 1, '',        1),
  ('TH00030102', '糖料仓',           '0003', '01',  21.0,  4.0,   5.0,  30.0, 45.0, 10.0, 30.0, 65.0, 1, '',        1),
  ('TH00030103', '油料仓',           '0003', '01',  19.0,  3.0,   5.0,  28.0, 55.0, 10.0, 30.0, 70.0, 1, '',        1),
  ('TH00030201', '成品一库',         '0003', '02',  18.0,  3.0,   5.0,  25.0, 55.0,  8.0, 30.0, 70.0, 1, '',        1),
  ('TH00030202', '成品二库',         '0003', '02',  19.0,  3.5,   5.0,  25.0, 58.0,  8.0, 30.0, 70.0, 0, '',        1),
  ('TH00030301', '烘焙车间',         '0003', '03',  28.0,  4.0,  15.0,  32.0, 40.0,  8.0, 20.0, 60.0, 1, '',        1),
  ('TH00030302', '包装车间',         '0003', '03',  23.0,  2.0,  15.0,  30.0, 50.0,  6.0, 30.0, 65.0, 1, '',        1),
  ('TH00040101', '超低温冰箱一',     '0004', '01', -78.0,  1.0, -86.0, -70.0,  0.0,  0.0,  0.0,  0.0, 1, 'nohum',   1),
  ('TH00040102', '超低温冰箱二',     '0004', '01', -80.0,  1.0, -86.0, -70.0,  0.0,  0.0,  0.0,  0.0, 1, 'nohum',   1),
  ('TH00040103', '液氮罐区',         '0004', '01',  18.0,  1.0,  10.0,  26.0, 45.0,  5.0, 30.0, 60.0, 1, 'outage',  1),
  ('TH00040201', '细胞培养间',       '0004', '02',  24.0,  0.8,  20.0,  26.0, 50.0,  3.0, 40.0, 60.0, 1, '',        1),
  ('TH00040202', '洁净走廊',         '0004', '02',  22.0,  1.0,  18.0,  26.0, 48.0,  4.0, 35.0, 60.0, 2, '',        1),
  ('TH00090101', '临时监测点',       '0009', '01',  20.0,  2.0,  10.0,  30.0, 50.0,  5.0, 30.0, 70.0, 1, '',        1),
  ('TH00010199', '未登记探头',       '0001', '01',   6.0,  1.0,   2.0,   8.0, 60.0,  5.0, 35.0, 75.0, 1, '',        0);

INSERT INTO device_tab (device_num, device_name, company_num, department_num)
SELECT device_num, device_name, company_num, department_num FROM demo_device WHERE registered = 1;

-- Reading times: slot k lies k * 10 minutes before now, back to midnight three days ago.
SET @demo_now = NOW();

CREATE TEMPORARY TABLE demo_slot (
  k INT NOT NULL PRIMARY KEY,
  t DATETIME NOT NULL
);

INSERT INTO demo_slot (k, t)
WITH digit (d) AS (
  SELECT 0 UNION ALL SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3 UNION ALL SELECT 4
  UNION ALL SELECT 5 UNION ALL SELECT 6 UNION ALL SELECT 7 UNION ALL SELECT 8 UNION ALL SELECT 9
)
SELECT n, @demo_now - INTERVAL n * 10 MINUTE
FROM (SELECT a.d + 10 * b.d + 100 * c.d + 1000 * e.d AS n FROM digit a, digit b, digit c, digit e) s
WHERE @demo_now - INTERVAL n * 10 MINUTE >= DATE(@demo_now) - INTERVAL 3 DAY;

-- Values follow a daily sine plus a small deterministic jitter per device and slot.
-- The codes follow the values and limits, then the device's mode overrides them.
INSERT INTO history_tab (device_id, company_num, department_num, datetime, tempe, tempe_alarm,
                         hum, hum_alarm, device_tempe, voltage, power, current)
SELECT device_num, company_num, department_num, DATE_FORMAT(t, '%Y-%m-%d %H:%i:%s'),
       CASE WHEN offline THEN 0 ELSE tv END,
       CASE WHEN offline THEN 3 WHEN tv > t_high THEN 1 WHEN tv < t_low THEN 2 ELSE 0 END,
       CASE WHEN offline OR mode = 'nohum' THEN 0 ELSE hv END,
       CASE WHEN offline THEN 3 WHEN mode = 'nohum' THEN 4
            WHEN hv > h_high THEN 1 WHEN hv < h_low THEN 2 ELSE 0 END,
       ROUND(tv + 2.5 + jitter / 2, 1),
       CASE pw WHEN 0 THEN ROUND(3.3 + k * 0.0008 + jitter / 20, 1)
               WHEN 1 THEN ROUND(12.0 + jitter / 10, 1)
               ELSE ROUND(12.0 + jitter / 10, 1) END,
       pw,
       CASE pw WHEN 0 THEN ROUND(8.5 + jitter, 1)
               WHEN 1 THEN ROUND(35.0 + jitter * 2, 1)
               ELSE ROUND(60.0 + jitter * 3, 1) END
FROM (
  SELECT x.*,
         ROUND(x.tempe + x.swing * SIN(2 * PI() * (HOUR(x.t) * 60 + MINUTE(x.t) - 540) / 1440)
               + x.jitter / 2, 1) AS tv,
         ROUND(x.hum - x.hswing * SIN(2 * PI() * (HOUR(x.t) * 60 + MINUTE(x.t) - 540) / 1440)
               + x.jitter, 1) AS hv
  FROM (
    SELECT d.*, s.k, s.t,
           (CAST(MOD(s.k * 37 + CRC32(d.device_num), 17) AS SIGNED) - 8) / 10 AS jitter,
           d.mode = 'offline' AND (s.k < 18 OR s.k BETWEEN 150 AND 167) AS offline,
           CASE WHEN d.mode = 'outage' AND HOUR(s.t) BETWEEN 1 AND 4 THEN 0 ELSE d.power END AS pw
    FROM demo_device d CROSS JOIN demo_slot s
    WHERE NOT (d.mode = 'stale' AND s.k < 144)
  ) x
) r;

-- The current reading of every device is its newest one.
INSERT INTO monitordat_tab
SELECT h.*
FROM history_tab h
JOIN (SELECT device_id, MAX(datetime) AS latest FROM history_tab GROUP BY device_id) n
  ON h.device_id = n.device_id AND h.datetime = n.latest;

DROP TEMPORARY TABLE demo_slot;
DROP TEMPORARY TABLE demo_device;
