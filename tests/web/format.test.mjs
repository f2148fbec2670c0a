// The number texts of the WebAssembly build: the same characters as the desktop's, on the
// values that matter, and against an exact decimal expansion of random doubles.

import assert from 'node:assert/strict';
import { test } from 'node:test';

import { core } from './support.mjs';

// x rounded to `decimals` places from its exact binary value, ties to even, the sign of a
// tiny negative kept and a negative zero plain: worked out with BigInt.
function exactFixed(x, decimals) {
  if (!Number.isFinite(x) || x === 0) x = 0;
  const view = new DataView(new ArrayBuffer(8));
  view.setFloat64(0, x);
  const bits = view.getBigUint64(0);
  const negative = bits >> 63n === 1n;
  const exponent = Number((bits >> 52n) & 0x7ffn);
  let mantissa = bits & ((1n << 52n) - 1n);
  let shift;
  if (exponent === 0) shift = -1074;
  else {
    mantissa |= 1n << 52n;
    shift = exponent - 1075;
  }
  const scaled = mantissa * 10n ** BigInt(decimals);
  let q;
  if (shift >= 0) q = scaled << BigInt(shift);
  else {
    const d = 1n << BigInt(-shift);
    q = scaled / d;
    const rest = scaled % d;
    if (2n * rest > d || (2n * rest === d && q % 2n === 1n)) q += 1n;
  }
  let digits = q.toString().padStart(decimals + 1, '0');
  if (decimals > 0) digits = `${digits.slice(0, -decimals)}.${digits.slice(-decimals)}`;
  return negative ? `-${digits}` : digits;
}

test('residual and score texts: ties, tiny negatives and negative zero as the desktop shows them', async () => {
  const T = await core();
  const cases = [
    [0.125, '0.12'], [0.375, '0.38'], [-0.125, '-0.12'], [2.675, '2.67'], [1.005, '1.00'],
    [0.0049, '0.00'], [-0.0049, '-0.00'], [-1e-17, '-0.00'], [-0, '0.00'], [-0.005001, '-0.01'],
    [6.75, '6.75'], [-3, '-3.00'], [1234.5, '1234.50'], [NaN, '0.00'], [Infinity, '0.00'],
  ];
  for (const [x, text] of cases) assert.equal(T.format00(x), text, `format00(${x})`);
  const shortest = [[0.5, '0.5'], [0.70710678, '0.71'], [2, '2'], [0, '0'], [180, '180'], [1.999, '2'], [-0.003, '-0'], [-2.5, '-2.5']];
  for (const [x, text] of shortest) assert.equal(T.shortestDecimal(x), text, `shortestDecimal(${x})`);
});

test('the formatter agrees with the exact expansion on random doubles of every size', async () => {
  const T = await core();
  const view = new DataView(new ArrayBuffer(8));
  let seed = 12345;
  const next = () => (seed = (Math.imul(seed, 1103515245) + 12345) >>> 0);
  for (let i = 0; i < 3000; ++i) {
    view.setUint32(0, next());
    view.setUint32(4, next());
    const any = view.getFloat64(0);
    const small = (next() / 2 ** 32 - 0.5) * 40;
    for (const x of [any, small, small / 1000, Math.round(small * 8) / 8]) {
      assert.equal(T.format00(x), exactFixed(x, 2), `format00(${x})`);
    }
  }
});
