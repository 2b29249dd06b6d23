// Values sent between the test and the page as JSON, with every double exact (-0, NaN and the
// infinities included) and BigInts whole.
export function toWire(value) {
  return JSON.stringify(value, (key, item) => {
    if (typeof item === 'bigint') return {bigint: String(item)};
    if (typeof item === 'number') return {number: Object.is(item, -0) ? '-0' : String(item)};
    return item;
  });
}

export function fromWire(text) {
  return JSON.parse(text, (key, item) => {
    if (item !== null && typeof item === 'object' && !Array.isArray(item)) {
      const keys = Object.keys(item);
      if (keys.length === 1 && keys[0] === 'bigint') return BigInt(item.bigint);
      if (keys.length === 1 && keys[0] === 'number') return Number(item.number);
    }
    return item;
  });
}
