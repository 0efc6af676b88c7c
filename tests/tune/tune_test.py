#!/usr/bin/env python3
"""The evaluation tuner on synthetic sets whose best weights are known: results drawn as the
logistic of a known evaluation are fitted back to those weights, the scale is found from weights
proportional to them, and --write puts the weights where the engine reads them."""
import os
import subprocess
import sys
import tempfile
import unittest

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
TUNE = os.path.join(HERE, '..', '..', 'tools', 'tune', 'tune.py')
sys.path.insert(0, os.path.dirname(TUNE))
import combinations  # noqa: E402
import labels  # noqa: E402
import policy  # noqa: E402
import shape_counts  # noqa: E402
import threat_sets  # noqa: E402
import tune  # noqa: E402

HEADER = '''// weights for the test
inline constexpr RoleWeights kOwnValue = {{
    {{{}}},
    {{{}}},
    {{{}}},
}};
inline constexpr RoleWeights kTheirValue = {{
    {{{}}},
    {{{}}},
    {{{}}},
}};
'''

SCALE = 1 / 400


def read(path):
    with open(path) as f:
        return f.read()


def true_weights(rng):
    weights = rng.integers(-60, 300, size=2 * tune.ROLE).astype(float)
    for role in range(2):
        for column in tune.FIXED:
            weights[role * tune.ROLE + column] = 0
    return weights


def header(weights):
    bounds = [0, tune.LINE_CLASSES, tune.LINE_CLASSES + tune.SHAPES, tune.ROLE]
    parts = [weights[role * tune.ROLE + a:role * tune.ROLE + b]
             for role in range(2) for a, b in zip(bounds, bounds[1:])]
    return HEADER.format(*(', '.join(str(int(v)) for v in part) for part in parts))


# The fit-only terms of the synthetic results: a constant, and one for the first player to move.
TERMS = np.array([-0.3, 0.5])


def synthetic_set(rng, weights, rows=12000):
    """Counts as small as a board's, and for each the expected result under the true weights and
    terms: with the mean as the label the cross-entropy is least exactly there."""
    counts = rng.poisson(1.5, size=(rows, 2 * tune.ROLE)).astype(float)
    first = rng.integers(0, 2, size=rows).astype(float)
    z = SCALE * (tune.design(counts) @ weights) + tune.nuisance(first) @ TERMS
    return np.column_stack([1 / (1 + np.exp(-z)), first, counts])


class TuneTest(unittest.TestCase):
    def setUp(self):
        self.rng = np.random.default_rng(7)
        self.weights = true_weights(self.rng)
        self.dir = tempfile.TemporaryDirectory()
        self.features = os.path.join(self.dir.name, 'features.txt')
        np.savetxt(self.features, synthetic_set(self.rng, self.weights), fmt='%.6g')

    def tearDown(self):
        self.dir.cleanup()

    def run_tune(self, start, *extra):
        path = os.path.join(self.dir.name, 'weights.h')
        with open(path, 'w') as f:
            f.write(header(start))
        out = subprocess.run([sys.executable, TUNE, self.features, '--weights', path, *extra],
                             capture_output=True, text=True, check=True).stdout
        return out, tune.read_weights(read(path))

    def test_recovers_the_weights_that_made_the_results(self):
        start = np.where(self.weights != 0, 100.0, 0.0)
        out, written = self.run_tune(start, '--scale', str(SCALE), '--ridge', '0', '--write',
                                     '--source', 'a synthetic set')
        np.testing.assert_allclose(written, self.weights, atol=2)
        self.assertIn('written to', out)

    def test_scale_and_terms_fit_weights_proportional_to_the_true_ones(self):
        data = np.loadtxt(self.features)
        y, extra, x = data[:, 0], tune.nuisance(data[:, 1]), tune.design(data[:, 2:])
        scale, terms = tune.fit_scale(x, y, extra, self.weights * 2)
        self.assertAlmostEqual(scale * 2 / SCALE, 1, delta=1e-3)
        np.testing.assert_allclose(terms, TERMS, atol=1e-3)

    def test_fitted_loss_beats_the_starting_weights_on_held_out_positions(self):
        start = np.where(self.weights != 0, 100.0, 0.0)
        out, _ = self.run_tune(start, '--scale', str(SCALE))
        losses = {line.split()[0]: float(line.split()[-1]) for line in out.splitlines()
                  if ' loss: ' in line}
        self.assertLess(losses['fitted'], losses['current'] - 0.01)

    def test_write_names_the_data_once_and_keeps_the_rest_of_the_file(self):
        start = np.where(self.weights != 0, 100.0, 0.0)
        self.run_tune(start, '--scale', str(SCALE), '--write', '--source', 'set S by command C')
        path = os.path.join(self.dir.name, 'weights.h')
        subprocess.run([sys.executable, TUNE, self.features, '--weights', path, '--scale',
                        str(SCALE), '--write', '--source', 'set T'], check=True,
                       capture_output=True)
        text = read(path)
        self.assertTrue(text.startswith('// weights for the test'))
        self.assertNotIn('set S', text)
        self.assertEqual(text.count('// Fitted by tools/tune/tune.py to set T'), 1)
        self.assertLess(text.index('set T'), text.index('kOwnValue'))

    def test_write_moves_ktempo_against_the_shift_of_the_mean_evaluation(self):
        # Starting far from the true weights, the fit moves every evaluation; the constant for
        # the side to move must take back the mean of that move, so the search's level stays.
        start = np.where(self.weights != 0, 100.0, 0.0)
        path = os.path.join(self.dir.name, 'weights.h')
        with open(path, 'w') as f:
            f.write(header(start) + 'inline constexpr int kTempo = 7;\n')
        subprocess.run([sys.executable, TUNE, self.features, '--weights', path, '--scale', str(SCALE),
                        '--write'], check=True, capture_output=True)
        text = read(path)
        written, tempo = tune.read_weights(text), int(text.split('kTempo = ')[1].split(';')[0])
        x = tune.design(np.loadtxt(self.features)[:, 2:])
        self.assertGreater(abs(np.mean(x @ written) - np.mean(x @ start)), 200)
        self.assertAlmostEqual(np.mean(x @ written) + tempo, np.mean(x @ start) + 7, delta=20)

    def test_only_fits_the_named_classes_and_their_pairs_with_the_corrections_held(self):
        data = np.loadtxt(self.features)
        codes, corrections = [48, 1236], np.array([[150, -120], [-90, 200]])
        counts = self.rng.poisson(2.0, size=(len(data), 2, len(codes)))
        z = np.log(data[:, 0] / (1 - data[:, 0]))
        z += SCALE * (counts[:, 0] @ corrections[:, 0] - counts[:, 1] @ corrections[:, 1])
        data[:, 0] = 1 / (1 + np.exp(-z))
        np.savetxt(self.features, data, fmt='%.8g')
        combos = os.path.join(self.dir.name, 'combinations.txt')
        with open(combos, 'w') as f:
            for row in counts:
                f.write(' | '.join(' '.join(f'{c:04d}:{n}' for c, n in zip(codes, role) if n)
                                   for role in row) + '\n')
        # F3S (class 9) and every pair holding it start wrong; the rest start right but one.
        n = tune.LINE_CLASSES
        pairs = [(a, b) for a in range(n) for b in range(a, n)]  # row by row, as weights.h lists them
        chosen = [9] + [n + tune.SHAPES + i for i, pair in enumerate(pairs) if 9 in pair]
        wrong = np.zeros(2 * tune.ROLE, dtype=bool)
        for role in range(2):
            wrong[[role * tune.ROLE + c for c in chosen]] = True
        start = np.where(wrong, 100.0, self.weights)
        start[tune.LINE_CLASSES + 3] += 5  # a held shape weight a little off: it must stay so
        path = os.path.join(self.dir.name, 'weights.h')
        with open(path, 'w') as f:
            f.write(header(start) + combinations.TABLE_START + '\n' + ''.join(
                f'    {{{{{", ".join(combinations.CLASS_NAMES[d] for d in combinations.digits(c))}}}, '
                f'{own}, {their}}},\n' for c, (own, their) in zip(codes, corrections)) + '};\n')
        subprocess.run([sys.executable, TUNE, self.features, '--weights', path, '--scale', str(SCALE),
                        '--ridge', '0', '--only', 'F3S', '--holding', combos, '--write'],
                       check=True, capture_output=True)
        written = tune.read_weights(read(path))
        np.testing.assert_array_equal(written[~wrong], start[~wrong])
        np.testing.assert_allclose(written[wrong], self.weights[wrong], atol=2)


class CombinationsTest(unittest.TestCase):
    """With the class, shape and pair weights right, the corrections that made the results come
    back, and the table is written where the engine reads it, in its classes' names."""
    CORRECTIONS = {1246: (40, -25), 2224: (-30, 15), 3567: (120, 0)}
    RARE = 1288  # in too few positions to be fitted

    def test_recovers_the_corrections_and_writes_them_by_class_name(self):
        rng = np.random.default_rng(11)
        weights = true_weights(rng)
        rows = 12000
        data = synthetic_set(rng, weights, rows)
        codes = sorted(self.CORRECTIONS)
        counts = rng.poisson(2.0, size=(rows, 2, len(codes)))
        rare = np.arange(rows) < 50
        z = np.log(data[:, 0] / (1 - data[:, 0]))
        for i, code in enumerate(codes):
            own, their = self.CORRECTIONS[code]
            z += SCALE * (own * counts[:, 0, i] - their * counts[:, 1, i])
        data[:, 0] = 1 / (1 + np.exp(-z))
        with tempfile.TemporaryDirectory() as d:
            features, combos, path = (os.path.join(d, n) for n in ('f.txt', 'c.txt', 'w.h'))
            np.savetxt(features, data, fmt='%.8g')
            with open(combos, 'w') as f:
                for r in range(rows):
                    roles = [' '.join(f'{c:04d}:{counts[r, role, i]}' for i, c in enumerate(codes)
                                      if counts[r, role, i]) for role in range(2)]
                    if rare[r]:
                        roles[0] += f' {self.RARE}:1'
                    f.write(roles[0] + ' | ' + roles[1] + '\n')
            with open(path, 'w') as f:
                f.write(header(weights) + combinations.TABLE_START + '\n    {{kDead, kDead, kDead, kDead}, 0, 0},\n};\n')
            subprocess.run([sys.executable, TUNE, features, '--weights', path, '--scale', str(SCALE),
                            '--ridge', '0', '--combinations', combos, '--least', '100', '--write',
                            '--source', 'set C'], check=True, capture_output=True)
            text = read(path)
        np.testing.assert_array_equal(tune.read_weights(text), weights)
        table = combinations.read_table(text)
        self.assertEqual(sorted(table), codes)
        for code in codes:
            np.testing.assert_allclose(table[code], self.CORRECTIONS[code], atol=2)
        self.assertIn('{{kB1, kF1, kF2, kF3}, ', text)
        self.assertLess(text.index('set C'), text.index(combinations.TABLE_START))


class ThreatSetsTest(unittest.TestCase):
    """Values of whole sets of threats, on top of right cell weights: the values that made the
    results come back, written by flag name; every other fit then holds them."""
    # Flag sets by the shape columns that make them (role, shape): open three 1, four 4, three 7.
    SETS = {0: [], 16: [(0, 7)], 160: [(1, 1), (1, 4)], 516: [(0, 4), (1, 7)]}
    VALUES = {16: -110, 160: 320, 516: 75}
    RARE = [(0, 2)]  # a four-three for the side to move, in too few positions to be fitted

    def setUp(self):
        self.rng = np.random.default_rng(13)
        self.weights = true_weights(self.rng)
        rows = 12000
        data = synthetic_set(self.rng, self.weights, rows)
        counts = data[:, 2:]
        shape_columns = [role * tune.ROLE + tune.LINE_CLASSES + s for role in range(2) for s in range(1, 8)]
        counts[:, shape_columns] = 0
        chosen = self.rng.choice(sorted(self.SETS), size=rows)
        for r, flag_set in enumerate(chosen):
            for role, shape in self.SETS[flag_set] + (self.RARE if r < 50 else []):
                counts[r, role * tune.ROLE + tune.LINE_CLASSES + shape] = self.rng.integers(1, 4)
        z = SCALE * (tune.design(counts) @ self.weights) + tune.nuisance(data[:, 1]) @ TERMS
        z += SCALE * np.array([self.VALUES.get(f, 0) for f in chosen])
        data[:, 0] = 1 / (1 + np.exp(-z))
        self.dir = tempfile.TemporaryDirectory()
        self.features, self.combos = (os.path.join(self.dir.name, n) for n in ('f.txt', 'c.txt'))
        np.savetxt(self.features, data, fmt='%.8g')
        with open(self.combos, 'w') as f:
            f.write(' | \n' * rows)

    def tearDown(self):
        self.dir.cleanup()

    def weights_file(self, weights, table):
        path = os.path.join(self.dir.name, 'w.h')
        with open(path, 'w') as f:
            f.write(header(weights) + combinations.TABLE_START + '\n    {{kDead, kDead, kDead, kDead}, 0, 0},\n};\n'
                    + threat_sets.format_table(table) + '\n')
        return path

    def run_tune(self, path, *extra):
        subprocess.run([sys.executable, TUNE, self.features, '--weights', path, '--scale', str(SCALE),
                        '--ridge', '0', '--holding', self.combos, '--write', *extra],
                       check=True, capture_output=True)
        return read(path)

    def test_recovers_the_values_of_the_sets_and_writes_them_by_flag_name(self):
        text = self.run_tune(self.weights_file(self.weights, {}), '--threat-sets', '--least', '100')
        np.testing.assert_array_equal(tune.read_weights(text), self.weights)
        table = threat_sets.read_table(text)
        self.assertEqual(sorted(table), sorted(self.VALUES))
        for flag_set, value in self.VALUES.items():
            self.assertAlmostEqual(table[flag_set], value, delta=3)
        self.assertIn('{kOwnFour | kTheirThree, ', text)

    def test_a_fit_of_the_cell_weights_holds_the_values_of_the_sets(self):
        start = np.where(self.weights != 0, 100.0, 0.0)
        text = self.run_tune(self.weights_file(start, self.VALUES))
        # Columns counted in a few positions only (the rare set's) are not pinned down.
        varied = (np.loadtxt(self.features)[:, 2:] != 0).sum(axis=0) >= 100
        np.testing.assert_allclose(tune.read_weights(text)[varied], self.weights[varied], atol=2)
        self.assertEqual(threat_sets.read_table(text), self.VALUES)


class ShapeCountsTest(unittest.TestCase):
    """Values by how many cells make a shape, on top of right cell weights: the levels of the
    counts are one, two, three, four or five, six or more, and the values that made the results
    come back where the engine reads them."""
    # (role, shape, level): value; shape 1 is the flex-four, 7 the three.
    VALUES = {(1, 1, 2): -600, (1, 1, 0): -40, (0, 7, 4): 90, (1, 7, 1): 35}

    def test_levels_of_counts(self):
        np.testing.assert_array_equal(shape_counts.level(np.array([0, 1, 2, 3, 4, 5, 6, 40])),
                                      [-1, 0, 1, 2, 3, 3, 4, 4])

    def test_recovers_the_values_by_level_and_holds_every_other_weight(self):
        rng = np.random.default_rng(17)
        weights = true_weights(rng)
        data = synthetic_set(rng, weights)
        counts = data[:, 2:]
        for role, shape in ((1, 1), (0, 7), (1, 7)):
            counts[:, role * tune.ROLE + tune.LINE_CLASSES + shape] = rng.integers(0, 9, size=len(data))
        table = np.zeros((2, len(shape_counts.SHAPE_NAMES), len(shape_counts.LEVEL_STARTS)))
        for at, value in self.VALUES.items():
            table[at] = value
        z = SCALE * (tune.design(counts) @ weights + shape_counts.columns(counts, tune.ROLE, tune.LINE_CLASSES)
                     @ table.ravel()) + tune.nuisance(data[:, 1]) @ TERMS
        data[:, 0] = 1 / (1 + np.exp(-z))
        with tempfile.TemporaryDirectory() as d:
            features, combos, path = (os.path.join(d, n) for n in ('f.txt', 'c.txt', 'w.h'))
            np.savetxt(features, data, fmt='%.8g')
            with open(combos, 'w') as f:
                f.write(' | \n' * len(data))
            with open(path, 'w') as f:
                f.write(header(weights) + combinations.TABLE_START + '\n    {{kDead, kDead, kDead, kDead}, 0, 0},\n};\n'
                        + shape_counts.format_table(np.zeros(table.size)) + '\n')
            subprocess.run([sys.executable, TUNE, features, '--weights', path, '--scale', str(SCALE), '--ridge',
                            '0', '--holding', combos, '--shape-counts', '--write'], check=True, capture_output=True)
            text = read(path)
        np.testing.assert_array_equal(tune.read_weights(text), weights)
        written = shape_counts.read_table(text).reshape(table.shape)
        np.testing.assert_allclose(written, table, atol=3)  # the levels worth nothing too
        self.assertRegex(text, r'\{-\d+, 0, -\d+, 0, 0\},  // flex-four')


class PolicyTest(unittest.TestCase):
    """The move ordering's fit on positions whose chosen moves were drawn from a known ordering:
    started from a noisy copy of it, it writes back weights that order as the true ones do."""

    def test_recovers_the_ordering_that_chose_the_moves(self):
        rng = np.random.default_rng(3)
        lc, role = tune.LINE_CLASSES, tune.ROLE
        truth = rng.integers(-100, 101, size=2 * role)
        for r in range(2):
            truth[[r * role + c for c in policy.PINNED]] = 0
        # The current ordering: three times the true one, with noise as large.
        start = 3 * truth + rng.integers(-300, 301, size=2 * role)
        start[[r * role + c for r in range(2) for c in policy.PINNED]] = 0

        def score(weights, sides):
            total = 0
            for r in range(2):
                classes, shape = sides[5 * r:5 * r + 4], sides[5 * r + 4]
                total += sum(weights[r * role + c] for c in classes) + weights[r * role + lc + shape]
                for i in range(4):
                    for j in range(i + 1, 4):
                        a, b = sorted((classes[i], classes[j]))
                        total += weights[r * role + lc + tune.SHAPES + a * lc - a * (a - 1) // 2 + (b - a)]
            return total

        rows = []
        for position in range(3000):
            sides = rng.integers(0, [12, 12, 12, 12, 13] * 2, size=(30, 10))
            logits = np.array([score(truth, s) for s in sides]) / 100
            p = np.exp(logits - logits.max())
            chosen = rng.choice(30, p=p / p.sum())
            rows += [[position, int(n == chosen), score(start, s), *s] for n, s in enumerate(sides)]
        rows[0][2] += 1  # a current score the weights do not give is refused
        with tempfile.TemporaryDirectory() as d:
            candidates, weights = os.path.join(d, 'c.txt'), os.path.join(d, 'w.h')
            np.savetxt(candidates, np.array(rows), fmt='%d')
            with open(weights, 'w') as f:
                f.write('\n'.join(tune.format_role(name, start[r * role:(r + 1) * role])
                                  for r, name in enumerate(policy.ROLES)) + '\n')
            refused = subprocess.run([sys.executable, policy.__file__, candidates, '--weights', weights],
                                     capture_output=True, text=True)
            self.assertNotEqual(refused.returncode, 0)
            rows[0][2] -= 1
            np.savetxt(candidates, np.array(rows), fmt='%d')
            out = subprocess.run([sys.executable, policy.__file__, candidates, '--weights', weights, '--write',
                                  '--source', 'a synthetic set'], capture_output=True, text=True, check=True).stdout
            written = policy.read_roles(read(weights))
        losses = {line.split()[0]: float(line.split()[2].rstrip(',')) for line in out.splitlines()
                  if ' loss ' in line}
        self.assertLess(losses['fitted'], losses['current'] - 0.1)
        # A class's weight and those of its pairs move together without changing any score, so
        # the scores are compared, not the weights, on fresh candidates.
        sides = rng.integers(0, [12, 12, 12, 12, 13] * 2, size=(400, 10))
        got, noisy, want = (np.array([score(w, s) for s in sides], dtype=float) for w in (written, start, truth))
        self.assertGreater(np.corrcoef(got, want)[0, 1], 0.97)
        self.assertLess(np.corrcoef(noisy, want)[0, 1], 0.9)


@unittest.skipUnless(os.environ.get('BRENK_FEATURES'), 'BRENK_FEATURES names no brenk-features')
class FeaturesTest(unittest.TestCase):
    """brenk-features' combination codes read back by the names the tuner writes into weights.h."""

    def test_combination_codes_name_the_classes_that_the_cells_make(self):
        # x's open three on row 10 (columns 8 to 10), o to move with two stones far away. By
        # hand: columns 7 and 11 make x an open four, columns 6 and 12 a four with one gap.
        cells = ['.'] * 400
        for column in (8, 9, 10):
            cells[10 * 20 + column] = 'x'
        cells[3 * 20 + 3] = cells[16 * 20 + 16] = 'o'
        with tempfile.TemporaryDirectory() as d:
            combos = os.path.join(d, 'c.txt')
            subprocess.run([os.environ['BRENK_FEATURES'], '--combinations', combos],
                           input=''.join(cells) + ' 0.5\n', capture_output=True, text=True, check=True)
            rows = combinations.read_counts(combos)
        self.assertEqual(len(rows), 1)
        theirs = {}
        for code, count in rows[0][1].items():
            names = [combinations.CLASS_NAMES[d] for d in combinations.digits(code)]
            self.assertEqual(names, sorted(names, key=combinations.CLASS_NAMES.index))
            for name in set(names):
                theirs[name] = theirs.get(name, 0) + count
        self.assertEqual(theirs.get('kF4'), 2)
        self.assertEqual(theirs.get('kB4'), 2)
        self.assertNotIn('kF5', theirs)
        self.assertEqual(sum(rows[0][1].values()), 400 - 5)


class LabelsTest(unittest.TestCase):
    """The teacher's scale is found from results drawn under a known one, and each label mixes
    the game's result with the teacher's probability, a proved result counting as certain."""

    def test_scale_of_the_teacher_comes_back_from_its_results(self):
        rng = np.random.default_rng(5)
        evaluations = rng.uniform(-1500, 1500, size=20000)
        results = rng.random(20000) < 1 / (1 + np.exp(-evaluations / 300))
        pairs = list(zip(results.astype(float), evaluations))
        self.assertAlmostEqual(labels.fit_scale(pairs) / 300, 1, delta=0.05)

    def test_labels_mix_result_and_teacher(self):
        boards, rows = labels.read(['x.o 1 0', 'xo. 0.5 W', '... 1 L', 'o.x 0 -600'])
        self.assertEqual(boards, ['x.o', 'xo.', '...', 'o.x'])
        mixed = labels.labels(rows, 300, 0.25)
        # 0.25 * result + 0.75 * teacher, the teacher at 1/2, 1, 0 and 1 / (1 + e^2).
        expected = [0.25 + 0.375, 0.125 + 0.75, 0.25, 0.75 / (1 + np.exp(2))]
        np.testing.assert_allclose(mixed, expected, atol=1e-9)


if __name__ == '__main__':
    unittest.main()
