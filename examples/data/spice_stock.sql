-- The demo's stock database: what each store holds of each spice.
CREATE TABLE stock (
  sku      TEXT PRIMARY KEY,
  spice    TEXT NOT NULL,
  store    TEXT NOT NULL,
  grams    INTEGER,
  price    REAL,
  counted  DATE,
  notes    TEXT
);

INSERT INTO stock VALUES
  ('AN-100', 'Anise',         'Lyon',     2400, 18.5,  '2026-11-02', 'Star and seed kept apart'),
  ('BA-110', 'Basil',         'Lyon',     900,  12.0,  '2026-11-02', NULL),
  ('BY-120', 'Bay leaves',    'Fez',      350,  9.75,  '2026-10-28', 'Whole leaves only'),
  ('CA-130', 'Cardamom',      'Fez',      1200, 64.0,  '2026-10-28', 'Green pods from the new harvest, sorted by size'),
  ('CI-140', 'Cinnamon',      'Oslo',     3100, 22.4,  '2026-11-10', 'Quills'),
  ('CL-150', 'Cloves',        'Oslo',     800,  31.0,  '2026-11-10', NULL),
  ('CO-160', 'Coriander',     'Kyoto',    1500, 8.9,   '2026-11-15', 'Seeds'),
  ('CU-170', 'Cumin',         'Kyoto',    2750, 14.25, '2026-11-15', 'Roasted on request'),
  ('DI-180', 'Dill',          'Lima',     400,  11.0,  '2026-11-18', NULL),
  ('FE-190', 'Fennel',        'Lima',     1900, 10.5,  '2026-11-18', 'Sweet fennel seed'),
  ('GI-200', 'Ginger',        'Quito',    2200, 19.0,  '2026-11-20', 'Dried root, sliced'),
  ('MA-210', 'Mace',          'Quito',    150,  88.0,  '2026-11-20', 'Blades'),
  ('NU-220', 'Nutmeg',        'Graz',     600,  42.0,  '2026-11-24', 'Whole nuts in their shells'),
  ('PA-230', 'Paprika',       'Graz',     3400, 16.75, '2026-11-24', 'Smoked and sweet'),
  ('PE-240', 'Black pepper',  'Lyon',     5200, 24.0,  '2026-11-26', 'Tellicherry'),
  ('SA-250', 'Saffron',       'Fez',      12,   9800.0,'2026-11-26', 'Threads, kept in the safe'),
  ('SU-260', 'Sumac',         'Oslo',     700,  21.5,  '2026-11-30', NULL),
  ('TU-270', 'Turmeric',      'Kyoto',    2600, 13.0,  '2026-11-30', 'Ground'),
  ('VA-280', 'Vanilla',       'Lima',     90,   410.0, '2026-12-01', 'Pods, grade A'),
  ('ZA-290', 'Za''atar',      'Quito',    1100, 27.0,  '2026-12-01', 'House blend');
