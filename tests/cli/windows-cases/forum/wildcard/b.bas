' second
